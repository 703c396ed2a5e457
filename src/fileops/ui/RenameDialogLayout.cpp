// The rename dialog's controls and where they sit. Positions are those of a
// 450 x 224 client area; heights grow where the system font needs more.
#include "fileops/ui/RenameDialog.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <algorithm>

namespace
{
constexpr int kRowTop = 116;      // the name row (Edit1's top)
constexpr int kRightMargin = 6;   // nothing reaches closer to the right edge
constexpr int kMinEditWidth = 80; // room left to type however long the fixed part

QFont dialogFont(int pixels, bool bold = false)
{
    QFont f;
    f.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                   QStringLiteral("Noto Sans CJK JP"), QStringLiteral("sans-serif")});
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

QLabel *label(QWidget *parent, const char *name, int pixels = 12)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    if (pixels != 12)
        l->setFont(dialogFont(pixels));
    return l;
}

QPushButton *button(QWidget *parent, const char *name, const QString &text, QStyle::StandardPixmap glyph)
{
    auto *b = new QPushButton(parent->style()->standardIcon(glyph), text, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

// Shows `text`, cut in the middle with "…" when wider than `width`; the
// whole text then shows as a tooltip.
void setFitted(QLabel *l, const QString &text, int width)
{
    const QFontMetrics fm(l->font());
    const QString shown =
        fm.horizontalAdvance(text) > width ? fm.elidedText(text, Qt::ElideMiddle, width) : text;
    l->setText(shown);
    l->setToolTip(shown == text ? QString() : text);
    l->adjustSize();
}

// Shows `text`, cutting only its `part` (a file name or folder inside the
// sentence) in the middle when the whole is wider than `width`.
void setFittedPart(QLabel *l, const QString &text, const QString &part, int width)
{
    const qsizetype at = part.isEmpty() ? -1 : text.indexOf(part);
    const QFontMetrics fm(l->font());
    if (at < 0 || fm.horizontalAdvance(text) <= width) {
        setFitted(l, text, width);
        return;
    }
    const QString before = text.left(at), after = text.mid(at + part.size());
    const int room = qMax(0, width - fm.horizontalAdvance(before + after));
    l->setText(before + fm.elidedText(part, Qt::ElideMiddle, room) + after);
    l->setToolTip(text);
    l->adjustSize();
}

// A label vertically centred on a row that starts at `top` and is `height` tall.
void placeOnRow(QLabel *l, int left, int top, int height)
{
    l->adjustSize();
    l->move(left, top + (height - l->height()) / 2);
}
} // namespace

void TfRename::buildControls()
{
    setFont(dialogFont(12));
    const bool asking = purpose_ == Purpose::AskName;

    BitBtn3 = button(this, "BitBtn3", QString(), QStyle::SP_ArrowLeft);
    BitBtn3->setToolTip(QStringLiteral("前の画像へ"));
    BitBtn4 = button(this, "BitBtn4", QString(), QStyle::SP_ArrowRight);
    BitBtn4->setToolTip(QStringLiteral("次の画像へ"));
    SpinEdit2 = new QSpinBox(this);
    SpinEdit2->setObjectName(QStringLiteral("SpinEdit2"));
    SpinEdit2->setRange(RenameSession::kSpin2Min, RenameSession::kSpin2Max);
    Label6 = label(this, "Label6");
    Label6->setText(QStringLiteral("数字桁数"));

    Panel1 = label(this, "Panel1", 21);
    Panel1->setFont(dialogFont(21, true));
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setAutoFillBackground(true);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QPalette pal = Panel1->palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, Qt::yellow);
    Panel1->setPalette(pal);
    Panel1->setCursor(Qt::PointingHandCursor);
    Panel1->installEventFilter(this);

    Label1 = label(this, "Label1");
    Label2 = label(this, "Label2");
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Label4 = label(this, "Label4", 16);
    Label5 = label(this, "Label5");
    Label5->setText(QStringLiteral("_"));
    SpinEdit1 = new QSpinBox(this);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SpinEdit1->setRange(RenameSession::kSpin1Min, RenameSession::kSpin1Max);
    Label3 = label(this, "Label3", 16);

    CheckBox1 = new QCheckBox(QStringLiteral("共通文字変更"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    BitBtn5 =
        button(this, "BitBtn5", QStringLiteral("変更して【追加文字】モードに"), QStyle::SP_DialogApplyButton);
    RadioButton1 = new QRadioButton(QStringLiteral("前方追加"), this);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton2 = new QRadioButton(QStringLiteral("後方追加"), this);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    BitBtn1 =
        button(this, "BitBtn1", asking ? QStringLiteral("変更後、実行") : QStringLiteral("変更して次画像へ"),
               QStyle::SP_DialogApplyButton);
    BitBtn2 = button(this, "BitBtn2",
                     asking ? QStringLiteral("キャンセル") : QStringLiteral("ファイル名変更モード解除"),
                     QStyle::SP_DialogCancelButton);

    // Enter in the name box changes; no button is the dialog's default, so
    // the same Enter never also clicks a button.
    for (QPushButton *b : {BitBtn1, BitBtn2, BitBtn3, BitBtn4, BitBtn5}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    Edit1->installEventFilter(this); // Enter in the name box changes, once
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(0); });
    connect(BitBtn5, &QPushButton::clicked, this, [this] { BitBtn1Click(1); });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(BitBtn3, &QPushButton::clicked, this, &TfRename::BitBtn3Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TfRename::BitBtn4Click);
    connect(RadioButton1, &QRadioButton::clicked, this, &TfRename::RadioButton0Click);
    connect(RadioButton2, &QRadioButton::clicked, this, &TfRename::RadioButton0Click);
    connect(CheckBox1, &QCheckBox::clicked, this, &TfRename::CheckBox1Click);

    placeFixedControls();
    if (asking) {
        for (QWidget *w : {static_cast<QWidget *>(BitBtn3), static_cast<QWidget *>(BitBtn4),
                           static_cast<QWidget *>(Panel1)})
            w->hide();
    }
}

void TfRename::placeFixedControls()
{
    // Buttons and boxes at least as tall as the font needs.
    auto tall = [](QWidget *w, int h) { return qMax(h, w->sizeHint().height()); };
    const int bottomRow = tall(BitBtn1, 25);
    const int optionRow = std::max({tall(BitBtn5, 25), tall(CheckBox1, 17), tall(RadioButton1, 17)});
    const int nameRow = qMax(tall(Edit1, 21), tall(SpinEdit1, 21));
    // The bottom rows keep their distance to the bottom edge; the client grows
    // by what the taller rows need.
    const int grow = qMax(0, bottomRow - 25) + qMax(0, optionRow - 25) + qMax(0, nameRow - 21);
    const int height = kClientHeight + grow;
    setFixedSize(kClientWidth, height);

    BitBtn3->setGeometry(19, 8, 42, 34);
    BitBtn4->setGeometry(79, 8, 42, 34);
    const int spin2H = tall(SpinEdit2, 21);
    SpinEdit2->setGeometry(205, 21, qMax(38, SpinEdit2->sizeHint().width()), spin2H);
    placeOnRow(Label6, 145, 21, spin2H);
    Panel1->setGeometry(269, 8, kClientWidth - kRightMargin - 269, 33);
    Label1->move(16, 48);
    Label2->move(16, 72);

    Edit1->setGeometry(47, kRowTop, 300, nameRow);
    SpinEdit1->setGeometry(360, kRowTop, 57, nameRow);

    const int bottomTop = height - 8 - bottomRow;
    const int optionTop = bottomTop - 6 - optionRow;
    BitBtn1->setGeometry(26, bottomTop, 217, bottomRow);
    BitBtn2->setGeometry(267, bottomTop, 169, bottomRow);
    BitBtn5->setGeometry(26, optionTop, 217, optionRow);
    CheckBox1->setGeometry(65, optionTop, qMax(97, CheckBox1->sizeHint().width()), optionRow);
    RadioButton1->setGeometry(267, optionTop, qMax(81, RadioButton1->sizeHint().width()), optionRow);
    RadioButton2->setGeometry(354, optionTop, qMax(90, RadioButton2->sizeHint().width()), optionRow);
}

void TfRename::applyForm()
{
    const RenameForm &f = session_.form;
    const int textWidth = kClientWidth - 16 - kRightMargin;
    setFittedPart(Label1, f.Label1, session_.OrgFile + session_.Ext, textWidth);
    setFittedPart(Label2, f.Label2, session_.OrgPath, textWidth);
    Label3->setText(f.Label3);
    Label3->adjustSize();
    Edit1->setText(f.Edit1);
    SpinEdit1->setValue(f.SpinEdit1);
    SpinEdit2->setValue(f.SpinEdit2);
    {
        const QSignalBlocker block(CheckBox1); // the program's own tick restarts nothing
        CheckBox1->setChecked(f.CheckBox1);
    }

    const bool asking = purpose_ == Purpose::AskName;
    Edit1->setVisible(f.edit1Visible);
    Label3->setVisible(f.label3Visible);
    Label4->setVisible(f.label4Visible);
    Label5->setVisible(f.label5Visible);
    SpinEdit1->setVisible(f.spin1Visible);
    SpinEdit2->setVisible(f.spin2Visible && !asking);
    Label6->setVisible(f.label6Visible && !asking);
    BitBtn5->setVisible(f.bitBtn5Visible && !asking);
    RadioButton1->setVisible(f.radiosVisible && !asking);
    RadioButton2->setVisible(f.radiosVisible && !asking);
    CheckBox1->setVisible(f.checkBox1Visible && !asking);
    placeNameRow();

    // The input method follows the name box as it comes and goes.
    if (f.edit1Visible) {
        if (ctx_.host.ImeWasOpen)
            openIme();
    } else {
        ctx_.host.ImeWasOpen = imeOpen();
        closeIme();
    }
}

void TfRename::placeNameRow()
{
    const RenameForm &f = session_.form;
    const int top = kRowTop, h = Edit1->height();
    // The extension sits right of the row; a long one pulls the row in
    // rather than running off the dialog.
    const int numberExtLeft = qMin(420, kClientWidth - kRightMargin - Label3->width());
    const int extLeft = qMin(382, kClientWidth - kRightMargin - Label3->width());
    const int rowRight = extLeft - 13; // right edge of the editable part
    const int w5 = Label5->sizeHint().width();

    switch (f.row) {
    case RenameRow::Free:
        Edit1->setGeometry(40, top, rowRight - 40, h);
        placeOnRow(Label3, extLeft, top, h);
        break;
    case RenameRow::NumberBack: {
        const int spinLeft = numberExtLeft - 60;
        SpinEdit1->move(spinLeft, top);
        const int l5 = spinLeft - w5 - 5;
        placeOnRow(Label5, l5, top, h);
        Edit1->setGeometry(40, top, qMax(kMinEditWidth, qMin(300, l5 - 5 - 40)), h);
        placeOnRow(Label3, numberExtLeft, top, h);
        break;
    }
    case RenameRow::NumberFront: {
        SpinEdit1->move(40, top);
        const int editLeft = 40 + SpinEdit1->width() + w5 + 10;
        Edit1->setGeometry(editLeft, top, qMax(kMinEditWidth, qMin(300, numberExtLeft - 5 - editLeft)), h);
        placeOnRow(Label5, editLeft - w5 - 5, top, h);
        placeOnRow(Label3, numberExtLeft, top, h);
        break;
    }
    case RenameRow::Preview:
        setFitted(Label4, f.Label4, kClientWidth - 40 - kRightMargin);
        placeOnRow(Label4, 40, top, h);
        break;
    case RenameRow::LabelThenEdit:
    case RenameRow::EditThenLabel: {
        const int room = rowRight - 40 - 5; // Label4 + Edit1
        setFitted(Label4, f.Label4, room - kMinEditWidth);
        const int w4 = Label4->width();
        if (f.row == RenameRow::LabelThenEdit) {
            placeOnRow(Label4, 40, top, h);
            Edit1->setGeometry(40 + w4 + 5, top, room - w4, h);
        } else {
            Edit1->setGeometry(40, top, room - w4, h);
            placeOnRow(Label4, 40 + room - w4 + 5, top, h);
        }
        placeOnRow(Label3, extLeft, top, h);
        break;
    }
    }
}
