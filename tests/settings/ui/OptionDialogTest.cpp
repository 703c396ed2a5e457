#include "settings/ui/OptionDialog.h"

#include "settings/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

namespace
{
struct OptionDialogTest : ::testing::Test {
    Settings settings;
    QStringList rules = {"IMG_,4(canon)", "DSC,4(sony)", "P,7(olympus)"};
    std::unique_ptr<TfOption> dialog;
    QStringList pickedTitles;

    void open()
    {
        dialog = std::make_unique<TfOption>(settings, rules);
        dialog->setFilePicker([this](const QString &title, const QString &) {
            pickedTitles << title;
            return QStringLiteral("/usr/bin/six");
        });
    }
    template <class T> T *get(const char *name) const
    {
        T *w = dialog->findChild<T *>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void click(const char *name) const { get<QAbstractButton>(name)->click(); }
    QStringList appsShown() const
    {
        QStringList out;
        auto *list = get<QListWidget>("ListBox1");
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }
};
} // namespace

TEST_F(OptionDialogTest, ShowsTheStoredValuesClamped)
{
    settings.Option.Interval = 30;
    settings.Option.IntervalM = 250;
    settings.Option.nButton = 4;
    settings.Option.Numbering = true;
    settings.Option.Companions = false;
    settings.Option.PrefetchMiB = 100000;
    settings.SusieDir = "/spi";
    settings.AppList = {"/usr/bin/gimp"};
    settings.fnLabel = {5, QStringLiteral("No Such Font 名"), 0};
    open();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("各種設定"));
    EXPECT_EQ(get<QSpinBox>("SpinEdit1")->value(), 20);
    EXPECT_EQ(get<QSpinBox>("SpinEdit3")->value(), 250);
    EXPECT_TRUE(get<QSpinBox>("SpinEdit1")->findChild<QLineEdit *>()->isReadOnly()); // stepped, not typed
    EXPECT_EQ(get<QComboBox>("ComboBox1")->currentText(), "4");
    EXPECT_TRUE(get<QRadioButton>("numberingOn")->isChecked());
    EXPECT_EQ(get<QCheckBox>("companions")->text(), QStringLiteral("同名の RAW・サイドカーも一緒に移動する"));
    EXPECT_FALSE(get<QCheckBox>("companions")->isChecked());
    get<QCheckBox>("companions")->setChecked(true);
    EXPECT_EQ(get<QSpinBox>("prefetchMiB")->value(), 4096);
    get<QSpinBox>("prefetchMiB")->setValue(64);
    EXPECT_EQ(get<QLineEdit>("Edit1")->text(), "/spi");
    EXPECT_EQ(appsShown(), settings.AppList);
    EXPECT_EQ(get<QListWidget>("ListBox2")->count(), 3);
    EXPECT_TRUE(get<QRadioButton>("RadioButton6")->isChecked());
    EXPECT_EQ(get<QComboBox>("FontNameBox")->currentText(), QStringLiteral("No Such Font 名"));
    EXPECT_EQ(get<QSpinBox>("SpinEdit2")->value(), 10);
    EXPECT_EQ(get<QToolButton>("SpeedButton3")->toolTip(), QStringLiteral("上へ"));
    for (int i = 0; i < get<QComboBox>("FontNameBox")->count(); ++i)
        EXPECT_FALSE(get<QComboBox>("FontNameBox")->itemText(i).startsWith(u'@'));

    dialog->accept();
    EXPECT_EQ(settings.Option.Interval, 20);
    EXPECT_EQ(settings.fnLabel.fnlFontSize, 10);
    EXPECT_TRUE(settings.Option.Companions);
    EXPECT_EQ(settings.Option.PrefetchMiB, 64);
}

TEST_F(OptionDialogTest, ZeroSecondsAndZeroMillisecondsStores100)
{
    settings.Option.Interval = 3;
    open();
    get<QSpinBox>("SpinEdit1")->setValue(0);
    EXPECT_EQ(get<QSpinBox>("SpinEdit3")->value(), 100); // bumped at once
    get<QSpinBox>("SpinEdit3")->setValue(0);
    click("BitBtn1");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(settings.Option.Interval, 0);
    EXPECT_EQ(settings.Option.IntervalM, 100);
    EXPECT_TRUE(dialog->changes().intervalChanged);
}

TEST_F(OptionDialogTest, ApplicationButtonsEditOnlyTheListUntilOk)
{
    settings.AppList = {"/a", "/b", "/c", "/d", "/e"};
    open();
    click("SpeedButton1");
    EXPECT_EQ(pickedTitles, QStringList{QStringLiteral("起動アプリケーション指定ダイアログ")});
    EXPECT_EQ(appsShown(), (QStringList{"/b", "/c", "/d", "/e", "/usr/bin/six"}));

    auto *list = get<QListWidget>("ListBox1");
    list->setCurrentRow(1);
    click("SpeedButton3"); // up
    EXPECT_EQ(appsShown(), (QStringList{"/c", "/b", "/d", "/e", "/usr/bin/six"}));
    EXPECT_EQ(list->currentRow(), 0);
    click("SpeedButton3"); // already first
    list->setCurrentRow(4);
    click("SpeedButton4"); // already last
    list->setCurrentRow(3);
    click("SpeedButton4");
    EXPECT_EQ(list->currentRow(), 4);
    click("SpeedButton2");
    EXPECT_EQ(appsShown(), (QStringList{"/c", "/b", "/d", "/usr/bin/six"}));
    click("SpeedButton2"); // nothing selected now
    EXPECT_EQ(list->count(), 4);

    // Cancel: the stored list is untouched.
    click("BitBtn2");
    EXPECT_EQ(settings.AppList, (QStringList{"/a", "/b", "/c", "/d", "/e"}));

    open();
    click("SpeedButton1");
    click("BitBtn1");
    EXPECT_EQ(settings.AppList, (QStringList{"/b", "/c", "/d", "/e", "/usr/bin/six"}));
    EXPECT_TRUE(dialog->changes().appsChanged);
}

TEST_F(OptionDialogTest, CancelDiscardsEveryEdit)
{
    settings.fnLabel = {2, "Sans", 12};
    const Settings before = settings;
    open();
    get<QSpinBox>("SpinEdit1")->setValue(9);
    get<QComboBox>("ComboBox1")->setCurrentIndex(9);
    get<QLineEdit>("Edit1")->setText("/elsewhere");
    click("RadioButton1");
    get<QLineEdit>("Edit2")->setText("NEW,3");
    click("Button1");
    click("BitBtn2");
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(settings.Option.Interval, before.Option.Interval);
    EXPECT_EQ(settings.Option.nButton, before.Option.nButton);
    EXPECT_EQ(settings.SusieDir, before.SusieDir);
    EXPECT_EQ(settings.fnLabel.flag, 2);
    EXPECT_TRUE(settings.Window.FileNameShown);
}

TEST_F(OptionDialogTest, LabelOffButtonCountRulesAndPluginFolder)
{
    QTemporaryDir spi;
    settings.SusieDir = spi.path();
    settings.fnLabel = {3, "Sans", 10};
    open();
    QString start;
    dialog->setFolderPicker([&](const QString &title, const QString &from) {
        EXPECT_EQ(title, QStringLiteral("SUSIE Plug-in フォルダ指定ダイアログ"));
        start = from;
        return QStringLiteral("/opt/spi");
    });
    click("SpeedButton5");
    EXPECT_EQ(start, spi.path()); // starts at the folder already named
    EXPECT_EQ(get<QLineEdit>("Edit1")->text(), "/opt/spi");

    click("RadioButton1"); // "表示しない"
    get<QComboBox>("FontNameBox")->setEditText("Typed Font");
    get<QComboBox>("ComboBox1")->setCurrentIndex(6);

    auto *rules = get<QListWidget>("ListBox2");
    rules->item(0)->setSelected(true);
    rules->item(2)->setSelected(true);
    click("Button2");
    get<QLineEdit>("Edit2")->setText("  RAW,5 ");
    click("Button1"); // taken as typed
    click("BitBtn1");

    const OptionResult &r = dialog->changes();
    EXPECT_EQ(settings.fnLabel.flag, 0);
    EXPECT_FALSE(settings.Window.FileNameShown);
    EXPECT_EQ(settings.fnLabel.fnlFontName, "Typed Font");
    EXPECT_TRUE(r.labelChanged);
    EXPECT_EQ(settings.Option.nButton, 7);
    EXPECT_TRUE(r.nButtonChanged);
    EXPECT_EQ(r.ruleLines, (QStringList{"DSC,4(sony)", "  RAW,5 "}));
    EXPECT_TRUE(r.rulesChanged);
    EXPECT_EQ(settings.SusieDir, "/opt/spi");

    // The same count again is no change.
    open();
    click("BitBtn1");
    EXPECT_FALSE(dialog->changes().nButtonChanged);
}
