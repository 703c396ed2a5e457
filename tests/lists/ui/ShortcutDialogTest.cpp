#include "lists/ui/ShortcutDialog.h"

#include "ScriptedPrompter.h"
#include "lists/ListFile.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <QUrl>
#include <gtest/gtest.h>

namespace
{
struct ShortcutDialogTest : ::testing::Test {
    QTemporaryDir tmp;
    QString app, desk, trip, beach;
    Settings settings;
    ScriptedPrompter prompter;
    std::unique_ptr<TfShortCut> dialog;

    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        app = tmp.filePath("app");
        desk = tmp.filePath("desk");
        trip = tmp.filePath("trip");
        beach = tmp.filePath("beach");
        for (const QString &d : {app, desk, trip, beach})
            QDir().mkpath(d);
        // Newest entry first: trip, then beach.
        ASSERT_TRUE(writeListLines(app + "/gd1.lst", {trip + "/1.jpg"}));
        ASSERT_TRUE(writeListLines(app + "/gd2.lst", {beach + "/2.jpg"}));
    }
    void open(bool listShown)
    {
        dialog = std::make_unique<TfShortCut>(settings, app, "/opt/gd/glimmerdeck", listShown, prompter);
        dialog->setPlaces({desk, desk, desk});
        dialog->show();
    }
    template <class T> T *get(const char *name) const
    {
        T *w = dialog->findChild<T *>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString folderText() const { return get<QComboBox>("ComboBox1")->currentText(); }
    QString nameText() const { return get<QLineEdit>("Edit2")->text(); }
    void drop(const QString &path, QWidget *on)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        const QPointF pos = on->mapTo(dialog.get(), on->rect().center());
        // Qt hands a drop only to the widget that accepted the drag's entry.
        QDragEnterEvent enter(pos.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(dialog.get(), &enter);
        QDropEvent ev(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(dialog.get(), &ev);
    }
};
} // namespace

TEST_F(ShortcutDialogTest, OpensOnTheNewestHistoryEntry)
{
    QFile(app + "/trip.lst").open(QIODevice::WriteOnly); // that list name is taken
    settings.ShortCut.Repeat = 0;
    settings.ShortCut.Box = true;
    settings.ShortCut.MakePlace = 7;
    settings.ShortCut.Interval = 99;
    open(true);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("ショートカットの作成"));
    auto *combo = get<QComboBox>("ComboBox1");
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(1), beach + "/");
    EXPECT_EQ(folderText(), trip + "/");
    EXPECT_EQ(nameText(), "trip_[001]");
    EXPECT_EQ(dialog->plan().toFileName(), app + "/trip_[001].lst");
    EXPECT_TRUE(get<QRadioButton>("RadioButton12")->isChecked());
    EXPECT_TRUE(get<QRadioButton>("RadioButton1")->isChecked());
    EXPECT_TRUE(get<QRadioButton>("Place0")->isChecked());
    EXPECT_EQ(get<QSpinBox>("SpinEdit1")->value(), 20);
    EXPECT_EQ(get<QRadioButton>("RadioButton13")->toolTip(),
              QStringLiteral("スライドショーを一回終了後、本ソフトも終了する。"));

    // Another entry from the drop-down.
    emit combo->activated(1);
    EXPECT_EQ(folderText(), beach + "/");
    EXPECT_EQ(nameText(), "beach");
    EXPECT_EQ(dialog->plan().pNo(), 2);
}

TEST_F(ShortcutDialogTest, WithNothingShownCreateAsksForAFolder)
{
    open(false);
    EXPECT_TRUE(folderText().isEmpty());
    EXPECT_TRUE(nameText().isEmpty());
    get<QPushButton>("BitBtn1")->click();
    EXPECT_EQ(prompter.beeps, 1);
    EXPECT_EQ(prompter.errors, QStringList{QStringLiteral("画像フォルダ名が不適切です。")});
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(QDir(app).entryList({"*.lst"}).size() == 2); // no list file made
}

TEST_F(ShortcutDialogTest, FoldersArriveByPickerOrDrop)
{
    open(true);
    QString start;
    dialog->setFolderPicker([&](const QString &, const QString &from) {
        start = from;
        return beach;
    });
    get<QToolButton>("SpeedButton1")->click();
    EXPECT_EQ(start, trip + "/");
    EXPECT_EQ(folderText(), beach);
    EXPECT_EQ(nameText(), "beach");
    EXPECT_EQ(dialog->plan().pNo(), -1); // the folder is what the launcher starts on

    drop(trip, get<QComboBox>("ComboBox1"));
    EXPECT_EQ(folderText(), trip);
    drop(beach, get<QLineEdit>("Edit2")); // not a drop target
    EXPECT_EQ(folderText(), trip);
    drop(beach, get<QToolButton>("SpeedButton1"));
    EXPECT_EQ(folderText(), beach);
    EXPECT_TRUE(prompter.allBoxes().isEmpty());

    QFile(trip + "/1.jpg").open(QIODevice::WriteOnly);
    drop(trip + "/1.jpg", get<QComboBox>("ComboBox1"));
    EXPECT_EQ(prompter.beeps, 1);
    EXPECT_EQ(prompter.errors,
              QStringList{QStringLiteral("ボタンに、フォルダをドラッグ＆ドロップしてください。")});
    EXPECT_EQ(folderText(), beach);
}

TEST_F(ShortcutDialogTest, CreateWritesTheLauncherAndRemembersTheChoices)
{
    open(true);
    get<QRadioButton>("RadioButton2")->click();  // tool box off
    get<QRadioButton>("RadioButton7")->click();  // transfer buttons on
    get<QRadioButton>("RadioButton11")->click(); // repeat on
    get<QSpinBox>("SpinEdit3")->setValue(500);
    get<QLineEdit>("Edit2")->setText("  holiday ");
    get<QPushButton>("BitBtn1")->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->appName(), desk + "/holiday.desktop");
    EXPECT_EQ(nameText(), "holiday");
    EXPECT_TRUE(QFileInfo::exists(app + "/trip.lst"));
    EXPECT_TRUE(settings.ShortCut.Button);
    EXPECT_EQ(settings.ShortCut.Repeat, 1);
    EXPECT_EQ(settings.ShortCut.IntervalM, 500);
    EXPECT_EQ(settings.ShortCut.PictureFolder, trip + "/");
}
