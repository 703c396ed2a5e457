#include "lists/ui/ShortcutDialog.h"

#include "common/Prompter.h"
#include "common/ui/StepOnlySpin.h"
#include "settings/Settings.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace
{
const QString kNoExtensionHint = QStringLiteral("拡張子はつけない");

} // namespace

TfShortCut::TfShortCut(Settings &settings, const QString &appFolder, const QString &viewerPath,
                       bool listShown, Prompter &prompter, QWidget *parent)
    : QDialog(parent), settings_(settings), prompter_(prompter), plan_(appFolder, viewerPath),
      places_(ShortcutPlaces::standard())
{
    setObjectName(QStringLiteral("fShortCut"));
    setWindowTitle(QStringLiteral("ショートカットの作成"));
    setAcceptDrops(true);
    pickFolder_ = [this](const QString &title, const QString &start) {
        return QFileDialog::getExistingDirectory(this, title, start);
    };

    auto *buttons = new QDialogButtonBox(this);
    auto *BitBtn1 = buttons->addButton(QStringLiteral("ショートカット作成"), QDialogButtonBox::ActionRole);
    auto *BitBtn2 = buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &TfShortCut::create);
    connect(buttons, &QDialogButtonBox::rejected, this, &TfShortCut::reject);

    auto *outer = new QVBoxLayout(this);
    outer->addWidget(buildSlideshow());
    outer->addWidget(buildTarget());
    outer->addWidget(buttons);

    ComboBox1->addItems(plan_.loadHistory());
    load(settings.ShortCut);
    showTexts(listShown ? plan_.chooseHistory(1, prompter_) : ShortcutPlan::Texts{});
}

QWidget *TfShortCut::buildSlideshow()
{
    auto *GroupBox1 = new QGroupBox(QStringLiteral("スライドショーの設定"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto *grid = new QGridLayout(GroupBox1);

    auto *interval = new QHBoxLayout;
    SpinEdit1 = stepOnlySpin(GroupBox1, "SpinEdit1", 20, 1);
    SpinEdit3 = stepOnlySpin(GroupBox1, "SpinEdit3", 900, 100);
    interval->addWidget(new QLabel(QStringLiteral("表示間隔"), GroupBox1));
    interval->addWidget(SpinEdit1);
    interval->addWidget(new QLabel(QStringLiteral("秒"), GroupBox1));
    interval->addWidget(SpinEdit3);
    interval->addWidget(new QLabel(QStringLiteral("m秒"), GroupBox1));
    interval->addStretch(1);
    grid->addLayout(interval, 0, 0, 1, 2);

    const auto radio = [this](QWidget *parent, int n, const QString &caption) {
        RadioButton[n] = new QRadioButton(caption, parent);
        RadioButton[n]->setObjectName(QStringLiteral("RadioButton%1").arg(n));
        return RadioButton[n];
    };
    // A pair of On/Off buttons, exclusive among themselves only.
    const auto pair = [&](QWidget *parent, QLayout *layout, int on) {
        auto *group = new QButtonGroup(parent);
        for (int n : {on, on + 1}) {
            group->addButton(radio(parent, n, n == on ? QStringLiteral("On") : QStringLiteral("Off")));
            layout->addWidget(RadioButton[n]);
        }
    };
    auto *autoRow = new QWidget(GroupBox1);
    auto *autoLayout = new QHBoxLayout(autoRow);
    autoLayout->setContentsMargins(0, 0, 0, 0);
    autoLayout->addWidget(new QLabel(QStringLiteral("起動時に自動的に開始"), autoRow));
    pair(autoRow, autoLayout, 3);
    autoLayout->addStretch(1);
    grid->addWidget(autoRow, 1, 0, 1, 2);

    const struct {
        const char *name;
        const char *caption;
        int on;
    } boxes[] = {{"GroupBox2", "Tool Boxの表示", 1},
                 {"GroupBox3", "全画面表示", 5},
                 {"GroupBox4", "転送ボタンの表示", 7},
                 {"GroupBox5", "自動拡大表示", 9}};
    int cell = 0;
    for (const auto &b : boxes) {
        auto *box = new QGroupBox(QString::fromUtf8(b.caption), GroupBox1);
        box->setObjectName(QLatin1String(b.name));
        auto *row = new QHBoxLayout(box);
        pair(box, row, b.on);
        grid->addWidget(box, 2 + cell / 2, cell % 2);
        ++cell;
    }

    auto *GroupBox6 = new QGroupBox(QStringLiteral("リピート設定"), GroupBox1);
    GroupBox6->setObjectName(QStringLiteral("GroupBox6"));
    GroupBox6->setToolTip(QStringLiteral("スライドショーのリピート設定"));
    auto *repeat = new QHBoxLayout(GroupBox6);
    auto *repeatGroup = new QButtonGroup(GroupBox6);
    const QString repeatCaptions[] = {QStringLiteral("On"), QStringLiteral("Off"), QStringLiteral("Exit")};
    const QString repeatHints[] = {QStringLiteral("スライドショーを繰り返しし続ける"),
                                   QStringLiteral("スライドショーは一回のみで終わるが、本ソフトはそのまま。"),
                                   QStringLiteral("スライドショーを一回終了後、本ソフトも終了する。")};
    for (int i = 0; i < 3; ++i) {
        QRadioButton *b = radio(GroupBox6, 11 + i, repeatCaptions[i]);
        b->setToolTip(repeatHints[i]);
        repeatGroup->addButton(b);
        repeat->addWidget(b);
    }
    grid->addWidget(GroupBox6, 4, 0, 1, 2);
    return GroupBox1;
}

QWidget *TfShortCut::buildTarget()
{
    auto *w = new QWidget(this);
    auto *grid = new QGridLayout(w);
    grid->setContentsMargins(0, 0, 0, 0);

    ComboBox1 = new QComboBox(w);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ComboBox1->setMinimumContentsLength(36);
    // Folders dropped here are taken by the dialog, not pasted as text.
    ComboBox1->lineEdit()->setAcceptDrops(false);
    SpeedButton1 = new QToolButton(w);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    grid->addWidget(new QLabel(QStringLiteral("表示画像フォルダ"), w), 0, 0);
    grid->addWidget(ComboBox1, 0, 1);
    grid->addWidget(SpeedButton1, 0, 2);

    auto *nameLabel = new QLabel(QStringLiteral("ショートカット名(.desktop:拡張子自動付加)"), w);
    nameLabel->setToolTip(kNoExtensionHint);
    Edit2 = new QLineEdit(w);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setToolTip(kNoExtensionHint);
    Edit2->setAcceptDrops(false);
    grid->addWidget(nameLabel, 1, 0, 1, 3);
    grid->addWidget(Edit2, 2, 0, 1, 3);

    auto *places = new QGroupBox(QStringLiteral("ショートカット作成場所"), w);
    places->setObjectName(QStringLiteral("RadioGroup1"));
    auto *placeGrid = new QGridLayout(places);
    RadioGroup1 = new QButtonGroup(places);
    const QString placeCaptions[] = {QStringLiteral("デスクトップ"), QStringLiteral("ドキュメント"),
                                     QStringLiteral("コンピュータ(PC)"), QStringLiteral("ピクチャー")};
    for (int i = 0; i < 4; ++i) {
        auto *b = new QRadioButton(placeCaptions[i], places);
        b->setObjectName(QStringLiteral("Place%1").arg(i));
        RadioGroup1->addButton(b, i);
        // Two columns, filled top to bottom.
        placeGrid->addWidget(b, i % 2, i / 2);
    }
    grid->addWidget(places, 3, 0, 1, 3);

    connect(SpeedButton1, &QToolButton::clicked, this, &TfShortCut::pickFolder);
    connect(ComboBox1, &QComboBox::activated, this,
            [this](int i) { showTexts(plan_.chooseHistory(i + 1, prompter_)); });
    connect(ComboBox1->lineEdit(), &QLineEdit::textEdited, this, [this] { plan_.forgetHistory(); });
    return w;
}

void TfShortCut::load(const ShortCutSettings &s)
{
    SpinEdit1->setValue(std::clamp(int(s.Interval), 0, 20));
    SpinEdit3->setValue(std::clamp(int(s.IntervalM), 0, 900));
    const int place =
        s.MakePlace >= PlaceDesktop && s.MakePlace <= PlacePictures ? s.MakePlace : PlaceDesktop;
    RadioGroup1->button(place)->setChecked(true);
    RadioButton[s.Auto ? 3 : 4]->setChecked(true);
    RadioButton[s.Box ? 1 : 2]->setChecked(true);
    RadioButton[s.Button ? 7 : 8]->setChecked(true);
    RadioButton[s.Full ? 5 : 6]->setChecked(true);
    RadioButton[s.Zoom ? 9 : 10]->setChecked(true);
    RadioButton[s.Repeat == 1 ? 11 : s.Repeat == 0 ? 12 : 13]->setChecked(true);
}

ShortcutChoices TfShortCut::choices() const
{
    ShortcutChoices c;
    c.seconds = SpinEdit1->value();
    c.milliseconds = SpinEdit3->value();
    c.autoStart = RadioButton[3]->isChecked();
    c.box = RadioButton[1]->isChecked();
    c.button = RadioButton[7]->isChecked();
    c.full = RadioButton[5]->isChecked();
    c.zoom = RadioButton[9]->isChecked();
    c.repeat = RadioButton[11]->isChecked() ? 1 : RadioButton[12]->isChecked() ? 0 : -1;
    return c;
}

void TfShortCut::showTexts(const ShortcutPlan::Texts &texts)
{
    ComboBox1->setEditText(texts.folder);
    Edit2->setText(texts.name);
}

void TfShortCut::pickFolder()
{
    const QString current = ComboBox1->currentText();
    if (!current.isEmpty() && QFileInfo(current).isDir())
        SetPath = current;
    const QString folder = pickFolder_(QStringLiteral("表示画像フォルダ"), SetPath);
    if (!folder.isEmpty())
        showTexts(plan_.chooseFolder(folder));
}

void TfShortCut::create()
{
    ShortcutPlan::Request r;
    r.folder = ComboBox1->currentText();
    r.name = Edit2->text();
    r.place = RadioGroup1->checkedId();
    r.choices = choices();
    const QString path = plan_.create(r, settings_, prompter_, places_, [this] {
        return pickFolder_(QStringLiteral("ショートカット作成場所"), QStringLiteral("/"));
    });
    Edit2->setText(r.name);
    if (!path.isEmpty())
        accept();
}

void TfShortCut::dragEnterEvent(QDragEnterEvent *e)
{
    if (e->mimeData()->hasUrls())
        e->acceptProposedAction();
}

void TfShortCut::dragMoveEvent(QDragMoveEvent *e)
{
    if (e->mimeData()->hasUrls())
        e->acceptProposedAction();
}

void TfShortCut::dropEvent(QDropEvent *e)
{
    const QList<QUrl> urls = e->mimeData()->urls();
    if (urls.isEmpty())
        return;
    e->acceptProposedAction();
    const QString path = urls.first().isLocalFile() ? urls.first().toLocalFile() : QString();
    if (path.isEmpty() || !QFileInfo(path).isDir()) {
        prompter_.beep();
        prompter_.error(kDropFolderText);
        return;
    }
    QWidget *target = childAt(e->position().toPoint());
    const bool onTarget =
        target && (target == SpeedButton1 || target == ComboBox1 || ComboBox1->isAncestorOf(target));
    if (onTarget)
        showTexts(plan_.chooseFolder(path));
}

QString TfShortCut::run(Settings &settings, const QString &appFolder, const QString &viewerPath,
                        bool listShown, Prompter &prompter, QWidget *parent)
{
    QString launcher;
    {
        TfShortCut dialog(settings, appFolder, viewerPath, listShown, prompter, parent);
        if (dialog.exec() != QDialog::Accepted)
            return {};
        launcher = dialog.appName();
    }
    RunShortcutSample(launcher, prompter);
    return launcher;
}
