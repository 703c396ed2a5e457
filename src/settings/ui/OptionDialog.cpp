#include "settings/ui/OptionDialog.h"

#include "common/ui/StepOnlySpin.h"
#include "settings/Settings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace
{
const QString kRuleHelp =
    QStringLiteral("【アルファベット, 数字桁数(備考)】") + u'\n' + QStringLiteral("　例：IMG_,4(canon)");
const QString kLabelCaptions[] = {
    QStringLiteral("表示しない"), QStringLiteral("左上"), QStringLiteral("上中"), QStringLiteral("右上"),
    QStringLiteral("左下"),       QStringLiteral("下中"), QStringLiteral("右下")};

// A list that lays its entries out in two columns of equal width.
class TwoColumnList : public QListWidget
{
public:
    explicit TwoColumnList(QWidget *parent) : QListWidget(parent)
    {
        setFlow(QListView::TopToBottom);
        setWrapping(true);
        setResizeMode(QListView::Adjust);
        setUniformItemSizes(true);
        setSelectionMode(QAbstractItemView::ExtendedSelection);
    }

protected:
    void resizeEvent(QResizeEvent *e) override
    {
        setGridSize(QSize(qMax(1, viewport()->width() / 2), fontMetrics().height() + 4));
        QListWidget::resizeEvent(e);
    }
};

QComboBox *numberList(QWidget *parent, const char *name, int count)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    for (int i = 1; i <= count; ++i)
        combo->addItem(QString::number(i));
    return combo;
}

QToolButton *pictureButton(QWidget *parent, const char *name, const QString &glyph, const QString &hint)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setText(glyph);
    b->setToolTip(hint);
    b->setAutoRaise(false);
    return b;
}
} // namespace

TfOption::TfOption(Settings &settings, const QStringList &ruleLines, QWidget *parent)
    : QDialog(parent), settings_(settings), oldRuleLines_(ruleLines)
{
    setObjectName(QStringLiteral("fOption"));
    setWindowTitle(QStringLiteral("各種設定"));
    pickFile_ = [this](const QString &title, const QString &start) {
        return QFileDialog::getOpenFileName(this, title, start);
    };
    pickFolder_ = [this](const QString &title, const QString &start) {
        return QFileDialog::getExistingDirectory(this, title, start);
    };

    auto *left = new QVBoxLayout;
    left->addWidget(buildIntervalRow());
    left->addWidget(buildCountsRow());
    left->addWidget(buildPluginFolder());
    left->addWidget(buildApplications());
    left->addStretch(1);
    auto *right = new QVBoxLayout;
    right->addWidget(buildRules(), 1);
    right->addWidget(buildLabel());

    auto *columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("BitBtn1"));
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("BitBtn2"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TfOption::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TfOption::reject);

    auto *outer = new QVBoxLayout(this);
    outer->addLayout(columns);
    outer->addWidget(buttons);

    load(LoadOptionValues(settings, ruleLines));
}

QWidget *TfOption::buildIntervalRow()
{
    auto *w = new QWidget(this);
    auto *row = new QHBoxLayout(w);
    row->setContentsMargins(0, 0, 0, 0);
    SpinEdit1 = stepOnlySpin(w, "SpinEdit1", OptionValues::kMaxSeconds, 1);
    SpinEdit3 = stepOnlySpin(w, "SpinEdit3", OptionValues::kMaxMilliseconds, OptionValues::kMillisecondStep);
    row->addWidget(new QLabel(QStringLiteral("スライドショー表示間隔"), w));
    row->addWidget(SpinEdit1);
    row->addWidget(new QLabel(QStringLiteral("秒"), w));
    row->addWidget(SpinEdit3);
    row->addWidget(new QLabel(QStringLiteral("m秒"), w));
    row->addStretch(1);
    // A show of 0 s and 0 ms would stand still.
    connect(SpinEdit1, &QSpinBox::valueChanged, this,
            [this](int s) { SpinEdit3->setValue(MillisecondsAfterSecondsChange(s, SpinEdit3->value())); });
    return w;
}

QWidget *TfOption::buildCountsRow()
{
    auto *w = new QWidget(this);
    auto *grid = new QGridLayout(w);
    grid->setContentsMargins(0, 0, 0, 0);
    ComboBox1 = numberList(w, "ComboBox1", OptionValues::kMaxButtons);
    ComboBox2 = numberList(w, "ComboBox2", OptionValues::kMaxSeqDigits);
    grid->addWidget(new QLabel(QStringLiteral("転送ボタン数"), w), 0, 0);
    grid->addWidget(ComboBox1, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("個"), w), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("連番桁数"), w), 1, 0);
    grid->addWidget(ComboBox2, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("個"), w), 1, 2);
    grid->setColumnStretch(3, 1);

    auto *numbering1 = new QGroupBox(QStringLiteral("同ファイル名時、自動連番機能(コピー・移動)"), w);
    numbering1->setObjectName(QStringLiteral("numbering1"));
    auto *radios = new QHBoxLayout(numbering1);
    numberingOn = new QRadioButton(QStringLiteral("on"), numbering1);
    numberingOff = new QRadioButton(QStringLiteral("off"), numbering1);
    numberingOn->setObjectName(QStringLiteral("numberingOn"));
    numberingOff->setObjectName(QStringLiteral("numberingOff"));
    radios->addWidget(numberingOn, 1);
    radios->addWidget(numberingOff, 1);
    grid->addWidget(numbering1, 2, 0, 1, 4);
    companions = new QCheckBox(QStringLiteral("同名の RAW・サイドカーも一緒に移動する"), w);
    companions->setObjectName(QStringLiteral("companions"));
    grid->addWidget(companions, 3, 0, 1, 4);
    prefetchMiB = new QSpinBox(w);
    prefetchMiB->setObjectName(QStringLiteral("prefetchMiB"));
    prefetchMiB->setRange(OptionValues::kMinPrefetchMiB, OptionValues::kMaxPrefetchMiB);
    prefetchMiB->setSingleStep(16);
    grid->addWidget(new QLabel(QStringLiteral("先読みに使うメモリ"), w), 4, 0);
    grid->addWidget(prefetchMiB, 4, 1);
    grid->addWidget(new QLabel(QStringLiteral("MiB"), w), 4, 2);
    return w;
}

QWidget *TfOption::buildPluginFolder()
{
    auto *GroupBox2 = new QGroupBox(QStringLiteral("Susie Plug-in インストール　Directory"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    auto *row = new QHBoxLayout(GroupBox2);
    Edit1 = new QLineEdit(GroupBox2);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    auto *SpeedButton5 = pictureButton(GroupBox2, "SpeedButton5", QStringLiteral("…"), QString());
    SpeedButton5->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    row->addWidget(Edit1, 1);
    row->addWidget(SpeedButton5);
    connect(SpeedButton5, &QToolButton::clicked, this, &TfOption::pickPluginFolder);
    return GroupBox2;
}

QWidget *TfOption::buildApplications()
{
    auto *GroupBox1 = new QGroupBox(QStringLiteral("起動アプリケーション"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto *row = new QHBoxLayout(GroupBox1);

    ListBox1 = new QListWidget(GroupBox1);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setUniformItemSizes(true);
    // Five rows exactly, each beside its number label.
    const int rowHeight = fontMetrics().height() + 6;
    const int frame = ListBox1->frameWidth();
    ListBox1->setFixedHeight(kMaxApps * rowHeight + 2 * frame);
    ListBox1->setProperty("rowHeight", rowHeight);
    ListBox1->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('x')) * 32);

    auto *numbers = new QVBoxLayout;
    numbers->setSpacing(0);
    numbers->setContentsMargins(0, frame, 0, frame);
    for (int i = 1; i <= kMaxApps; ++i) {
        auto *label = new QLabel(QStringLiteral("%1.").arg(i), GroupBox1);
        label->setObjectName(QStringLiteral("ArLabel1_%1").arg(i));
        label->setFixedHeight(rowHeight);
        numbers->addWidget(label);
    }
    numbers->addStretch(1);

    auto *tools = new QVBoxLayout;
    tools->setSpacing(2);
    auto *SpeedButton1 =
        pictureButton(GroupBox1, "SpeedButton1", QStringLiteral("＋"), QStringLiteral("追加"));
    auto *SpeedButton2 =
        pictureButton(GroupBox1, "SpeedButton2", QStringLiteral("－"), QStringLiteral("削除"));
    auto *SpeedButton3 =
        pictureButton(GroupBox1, "SpeedButton3", QStringLiteral("▲"), QStringLiteral("上へ"));
    auto *SpeedButton4 =
        pictureButton(GroupBox1, "SpeedButton4", QStringLiteral("▼"), QStringLiteral("下へ"));
    for (QToolButton *b : {SpeedButton1, SpeedButton2, SpeedButton3, SpeedButton4})
        tools->addWidget(b);
    tools->addStretch(1);
    connect(SpeedButton1, &QToolButton::clicked, this, &TfOption::addApp);
    connect(SpeedButton2, &QToolButton::clicked, this, &TfOption::deleteApp);
    connect(SpeedButton3, &QToolButton::clicked, this, [this] { moveApp(-1); });
    connect(SpeedButton4, &QToolButton::clicked, this, [this] { moveApp(1); });

    row->addLayout(numbers);
    row->addWidget(ListBox1, 1, Qt::AlignTop);
    row->addLayout(tools);
    return GroupBox1;
}

QWidget *TfOption::buildRules()
{
    auto *w = new QWidget(this);
    auto *box = new QVBoxLayout(w);
    box->setContentsMargins(0, 0, 0, 0);
    auto *Label8 = new QLabel(QStringLiteral("デジカメファイル名規則一覧"), w);
    Label8->setObjectName(QStringLiteral("Label8"));
    ListBox2 = new TwoColumnList(w);
    ListBox2->setObjectName(QStringLiteral("ListBox2"));
    ListBox2->setMinimumHeight(fontMetrics().height() * 6);
    auto *Label9 = new QLabel(kRuleHelp, w);
    Label9->setObjectName(QStringLiteral("Label9"));
    Edit2 = new QLineEdit(w);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    auto *Button1 = new QPushButton(QStringLiteral("追加"), w);
    auto *Button2 = new QPushButton(QStringLiteral("削除"), w);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2->setObjectName(QStringLiteral("Button2"));
    Button1->setAutoDefault(false);
    Button2->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &TfOption::addRule);
    connect(Button2, &QPushButton::clicked, this, &TfOption::deleteRules);

    auto *editRow = new QHBoxLayout;
    editRow->addWidget(Edit2, 1);
    editRow->addWidget(Button1);
    editRow->addWidget(Button2);
    box->addWidget(Label8);
    box->addWidget(ListBox2, 1);
    box->addWidget(Label9);
    box->addLayout(editRow);
    return w;
}

QWidget *TfOption::buildLabel()
{
    auto *GroupBox3 = new QGroupBox(QStringLiteral("ファイル名表示"), this);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    auto *grid = new QGridLayout(GroupBox3);
    labelGroup = new QButtonGroup(this);
    for (int n = 0; n < OptionValues::kLabelPositions; ++n) {
        RadioButton[n] = new QRadioButton(kLabelCaptions[n], GroupBox3);
        RadioButton[n]->setObjectName(QStringLiteral("RadioButton%1").arg(n + 1));
        labelGroup->addButton(RadioButton[n], n);
    }
    // "Not shown" on its own row, then the top and bottom positions.
    grid->addWidget(RadioButton[0], 0, 0);
    for (int n = 1; n < OptionValues::kLabelPositions; ++n)
        grid->addWidget(RadioButton[n], 1 + (n - 1) / 3, (n - 1) % 3);

    FontNameBox = new QComboBox(GroupBox3);
    FontNameBox->setObjectName(QStringLiteral("FontNameBox"));
    FontNameBox->setEditable(true);
    FontNameBox->setInsertPolicy(QComboBox::NoInsert);
    FontNameBox->setMaxVisibleItems(20);
    FontNameBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    FontNameBox->setMinimumContentsLength(16);
    FontNameBox->addItems(LabelFontFamilies(QFontDatabase::families()));

    SpinEdit2 = new QSpinBox(GroupBox3);
    SpinEdit2->setObjectName(QStringLiteral("SpinEdit2"));
    SpinEdit2->setRange(1, OptionValues::kMaxFontSize);

    grid->addWidget(new QLabel(QStringLiteral("フォント名"), GroupBox3), 3, 0);
    grid->addWidget(FontNameBox, 3, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("フォントサイズ"), GroupBox3), 4, 0);
    grid->addWidget(SpinEdit2, 4, 1);
    return GroupBox3;
}

void TfOption::load(const OptionValues &v)
{
    // Milliseconds first: setting the seconds may bump a 0 ms to 100.
    SpinEdit3->setValue(v.milliseconds);
    SpinEdit1->setValue(v.seconds);
    SpinEdit3->setValue(v.milliseconds);
    ComboBox1->setCurrentIndex(v.nButton - 1);
    ComboBox2->setCurrentIndex(v.seqDigits - 1);
    (v.numbering ? numberingOn : numberingOff)->setChecked(true);
    companions->setChecked(v.companions);
    prefetchMiB->setValue(v.prefetchMiB);
    Edit1->setText(v.pluginDir);
    ListBox2->addItems(v.ruleLines);
    if (v.labelFlag >= 0)
        RadioButton[v.labelFlag]->setChecked(true);
    FontNameBox->setEditText(v.fontName);
    SpinEdit2->setValue(v.fontSize);
    apps_ = v.apps;
    showApps(-1);
}

OptionValues TfOption::collect() const
{
    OptionValues v;
    v.seconds = SpinEdit1->value();
    v.milliseconds = SpinEdit3->value();
    v.nButton = ComboBox1->currentIndex() + 1;
    v.seqDigits = ComboBox2->currentIndex() + 1;
    v.numbering = numberingOn->isChecked();
    v.companions = companions->isChecked();
    v.prefetchMiB = prefetchMiB->value();
    v.pluginDir = Edit1->text();
    v.apps = apps_;
    for (int i = 0; i < ListBox2->count(); ++i)
        v.ruleLines << ListBox2->item(i)->text();
    v.labelFlag = labelGroup->checkedId();
    v.fontName = FontNameBox->currentText();
    v.fontSize = SpinEdit2->value();
    return v;
}

void TfOption::accept()
{
    result_ = StoreOptionValues(collect(), settings_, oldRuleLines_);
    QDialog::accept();
}

std::optional<OptionResult> TfOption::run(Settings &settings, const QStringList &ruleLines, QWidget *parent)
{
    TfOption dialog(settings, ruleLines, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.changes();
}

void TfOption::showApps(int selected)
{
    const int rowHeight = ListBox1->property("rowHeight").toInt();
    ListBox1->clear();
    for (const QString &app : apps_) {
        auto *item = new QListWidgetItem(app, ListBox1);
        item->setSizeHint(QSize(0, rowHeight));
        item->setToolTip(app);
    }
    if (selected >= 0 && selected < ListBox1->count())
        ListBox1->setCurrentRow(selected);
}

void TfOption::addApp()
{
    const QString path = pickFile_(QStringLiteral("起動アプリケーション指定ダイアログ"), QString());
    if (path.isEmpty())
        return;
    AddApplication(apps_, path);
    showApps(-1);
}

void TfOption::deleteApp()
{
    const int row = ListBox1->currentRow();
    if (row < 0 || row >= apps_.size() || !ListBox1->item(row)->isSelected())
        return;
    apps_.removeAt(row);
    showApps(-1);
}

void TfOption::moveApp(int delta)
{
    const int row = ListBox1->currentRow();
    const int to = row + delta;
    if (row < 0 || row >= apps_.size() || !ListBox1->item(row)->isSelected() || to < 0 || to >= apps_.size())
        return;
    apps_.move(row, to);
    showApps(to);
}

void TfOption::pickPluginFolder()
{
    if (!Edit1->text().isEmpty() && QFileInfo(Edit1->text()).isDir())
        SetPath = Edit1->text();
    const QString folder = pickFolder_(QStringLiteral("SUSIE Plug-in フォルダ指定ダイアログ"), SetPath);
    if (!folder.isEmpty())
        Edit1->setText(folder);
}

void TfOption::addRule()
{
    ListBox2->addItem(Edit2->text());
}

void TfOption::deleteRules()
{
    for (int i = ListBox2->count() - 1; i >= 0; --i) {
        if (ListBox2->item(i)->isSelected())
            delete ListBox2->takeItem(i);
    }
}
