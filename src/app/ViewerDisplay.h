#pragma once
// The pictures on screen: the surfaces (the main window's, replaced by the
// full-screen window's while that is open), the picture area, painting and
// clearing a frame, the file-name label, and decoding ahead. It owns the
// picture cache. It shows what the state says; what to show and when is the
// viewer's to decide.
#include "app/Frame.h"
#include "app/ViewerHost.h"
#include "common/ViewerState.h"
#include "decode/LoadPicture.h"
#include "decode/PictureCache.h"

class ViewerDisplay
{
public:
    explicit ViewerDisplay(const ViewerState &state);

    // The main window's surface; the current one follows it unless the
    // full-screen surface is in use.
    void setMainTarget(DisplayTarget *target);
    DisplayTarget *mainTarget() const { return main_; }
    DisplayTarget *current() const { return current_; }
    bool fullScreenOpen() const { return current_ && current_ != main_; }
    // The full-screen surface (null: back to the main window's).
    void useFullScreen(DisplayTarget *full);

    // Measures one display slot (AreaWidth × AreaHeight) on the current
    // surface, for the current display form.
    void ComputeArea();
    LoadOptions loadOptions() const;
    LabelStyle labelStyle() const;

    // Paints the frame of the current page (the list is not empty and the
    // index is in range). Blank: the single page could not be shown.
    struct Painted {
        QString caption;
        bool blank = false;
        bool anyShown = false;
    };
    Painted paint();
    // Empties every surface.
    void clear();
    // The file-name label: a new name, or shown or hidden as the style says.
    void showName(const QString &name);
    void updateLabels();

    // Which way the user went to the page about to be shown.
    void noteDirection();
    // Decodes pages ahead of the current one in the direction of travel,
    // and one behind, in the background within the memory budget; what the
    // user has skipped past stops decoding.
    void prefetchAround();
    // The memory for pictures decoded ahead, in MiB (clamped to what the
    // options allow).
    void setBudget(int mib);
    PictureCache &cache() { return cache_; }
    // Pictures held decoded, shown or ahead of the user.
    int decodedPictures() const { return cache_.count(); }

private:
    const ViewerState &state_;
    PictureCache cache_;
    DisplayTarget *main_ = nullptr;
    DisplayTarget *current_ = nullptr;
    QSize area_; // AreaWidth × AreaHeight: one display slot
    // The page shown last and the way the user went from it.
    int lastShownIndex_ = -1;
    bool forward_ = true;
};
