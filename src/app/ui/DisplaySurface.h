#pragma once
// The picture area shared by the main window and the full-screen window:
// the two display slots, their "表示不可" labels, the file-name panel and
// the idle hint. It paints the frames the viewer plans and hands clicks,
// wheel turns and gestures to the viewer.
#include "app/ViewerHost.h"

#include <QWidget>
#include <array>
#include <functional>

class QLabel;
class PictureView;
class Viewer;

class DisplaySurface : public QWidget, public DisplayTarget
{
    Q_OBJECT
public:
    enum class Kind { Window, FullScreen };
    DisplaySurface(Viewer &viewer, Kind kind, QWidget *parent = nullptr);

    PictureView *view(int slot) const { return image_[size_t(slot)]; }
    QLabel *fileNameLabel() const { return panel_; }
    // Dragging a picture out switches the viewer's own drops off and on
    // through `acceptDrops`.
    void enableDragOut(std::function<void(bool)> acceptDrops);

    // ---- DisplayTarget ----
    QSize surfaceSize() const override;
    qreal surfacePixelRatio() const override { return devicePixelRatioF(); }
    QSize errorTextSize() const override;
    void paintFrame(const Frame &frame, const LabelStyle &label) override;
    void blankFrame() override;
    void clearFrame() override;
    void updateLabel(const LabelStyle &label) override;
    void showName(const QString &name, const LabelStyle &label) override { showFileName(name, label); }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void showFileName(const QString &name, const LabelStyle &label);
    // The "表示不可" label of a slot, made when a picture first fails.
    QLabel *errorLabel(int slot);
    void placeHint();

    Viewer &viewer_;
    Kind kind_;
    std::array<PictureView *, 2> image_{};
    std::array<QLabel *, 2> errChr_{}; // null until needed
    QLabel *panel_ = nullptr;
    QLabel *hint_ = nullptr;
};
