#include "ui/series/SDFdata.h"

#include <cfloat>
#include <cmath>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLayout>
#include <QSignalBlocker>
#include <QTextCursor>
#include "core/runtime/DateTime.h"
#include "core/runtime/Errors.h"
#include "core/runtime/NumberText.h"
#include "core/runtime/TextFile.h"
#include "ui/app/Desktop.h"
#include "ui/app/Guard.h"
#include "ui/widgets/Controls.h"

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int w = 0) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->move(x, y);
    if (w > 0) l->setFixedWidth(w);
    return l;
}

QComboBox* MakeUnitCombo(QWidget* parent, const char* name, int x, int y) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setEditable(false);  // only the nine units can be chosen
    c->setGeometry(x, y, 64, 22);
    return c;
}

float CheckedSingle(const std::string& text) {
    double v = orvane::StrToFloat(text);
    if (std::fabs(v) > FLT_MAX) throw orvane::EOverflow();
    return static_cast<float>(v);
}

}  // namespace

TFrmSDFdata::TFrmSDFdata(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName("TFrmSDFdata");
    setWindowTitle(QStringLiteral("時系列ファイルの保存"));
    // Placed by hand on a body of the designed size, which scrolls on a screen too small for
    // the window (a scale factor of 2); 保存 and キャンセル stay in view below it.
    auto* body = new QWidget;
    body->setObjectName("PanelBody");
    body->setFixedSize(458, 416);

    Label1 = MakeLabel(body, "Label1", QStringLiteral("メモ："), 8, 10);
    Memo1 = new QPlainTextEdit(body);
    Memo1->setObjectName("Memo1");
    Memo1->setGeometry(8, 28, 442, 46);
    Label2 = MakeLabel(body, "Label2", QStringLiteral("記録開始時刻："), 8, 84);
    EdtStartTime = NamedEdit(body, "EdtStartTime", QString());
    EdtStartTime->setGeometry(110, 80, 150, 22);

    GroupBox2 = NamedGroup(body, "GroupBox2", QStringLiteral("インターバル記録"));
    GroupBox2->setGeometry(8, 108, 218, 96);
    Label3 = MakeLabel(GroupBox2, "Label3", QStringLiteral("計測回数："), 8, 22);
    LblSampleSize = MakeLabel(GroupBox2, "LblSampleSize", QString(), 110, 22, 100);
    Label5 = MakeLabel(GroupBox2, "Label5", QStringLiteral("チャンネル数："), 8, 44);
    LblNch = MakeLabel(GroupBox2, "LblNch", QString(), 110, 44, 100);
    Label7 = MakeLabel(GroupBox2, "Label7", QStringLiteral("計測時間間隔："), 8, 68);
    LblSInt = MakeLabel(GroupBox2, "LblSInt", QString(), 100, 68, 50);
    ComboBoxSITUnit = MakeUnitCombo(GroupBox2, "ComboBoxSITUnit", 150, 64);

    GroupBox1 = NamedGroup(body, "GroupBox1", QStringLiteral("バースト記録"));
    GroupBox1->setGeometry(232, 108, 218, 96);
    Label4 = MakeLabel(GroupBox1, "Label4", QStringLiteral("リピート回数："), 8, 22);
    EditIteration = NamedEdit(GroupBox1, "EditIteration", QString());
    EditIteration->setGeometry(110, 18, 80, 22);
    Label8 = MakeLabel(GroupBox1, "Label8", QStringLiteral("チャンネル数："), 8, 44);
    LblNch2 = MakeLabel(GroupBox1, "LblNch2", QString(), 110, 44, 100);
    Label6 = MakeLabel(GroupBox1, "Label6", QStringLiteral("バースト時間間隔："), 8, 68);
    LblBInt = MakeLabel(GroupBox1, "LblBInt", QString(), 116, 68, 32);
    ComboBoxBITUnit = MakeUnitCombo(GroupBox1, "ComboBoxBITUnit", 150, 64);

    StringGrid1 = new QTableWidget(129, 5, body);
    StringGrid1->setObjectName("StringGrid1");
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->verticalHeader()->setMinimumSectionSize(GridRowHeight);
    StringGrid1->verticalHeader()->setDefaultSectionSize(GridRowHeight);
    StringGrid1->setGeometry(8, 212, 442, GridMaxHeight);
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int widths[] = {78, 110, 70, 80, 80};
    for (int c = 0; c < 5; ++c) StringGrid1->setColumnWidth(c, widths[c]);

    GroupBox3 = NamedGroup(body, "GroupBox3", QStringLiteral("ファイル"));
    GroupBox3->setGeometry(8, 352, 442, 56);
    EditFileName = NamedEdit(GroupBox3, "EditFileName", QString());
    EditFileName->setGeometry(8, 22, 350, 22);
    Button1 = new QPushButton(QStringLiteral("参照"), GroupBox3);
    Button1->setObjectName("Button1");
    Button1->setGeometry(364, 20, 70, 26);

    BitBtn1 = new QPushButton(QStringLiteral("保存"), this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setDefault(true);
    BitBtn1->setFixedSize(84, 30);
    BitBtn2 = new QPushButton(QStringLiteral("キャンセル"), this);
    BitBtn2->setObjectName("BitBtn2");
    BitBtn2->setFixedSize(84, 30);
    QHBoxLayout* buttons = ButtonRow({BitBtn1, BitBtn2});
    buttons->setContentsMargins(0, 0, 10, 0);
    QScrollArea* scroll = ScrolledBody(this, body, buttons);
    scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    layout()->setContentsMargins(0, 0, 0, 12);

    connect(Button1, &QPushButton::clicked, this, &TFrmSDFdata::Button1Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TFrmSDFdata::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TFrmSDFdata::BitBtn2Click);
    connect(ComboBoxSITUnit, &QComboBox::currentIndexChanged, this, &TFrmSDFdata::ComboBoxSITUnitChange);
    connect(Memo1, &QPlainTextEdit::textChanged, this, &TFrmSDFdata::Memo1Change);

    store_.onSdfHeaderRead = [this] { UpdateSampleIntervalLabel(); };
    store_.onUnitsConverted = [this](std::uint8_t sUnit, std::uint8_t bUnit) {
        ComboBoxSITUnit->setCurrentIndex(sUnit);
        ComboBoxBITUnit->setCurrentIndex(bUnit);
    };
}

QString TFrmSDFdata::Cell(int col, int row) const {
    QTableWidgetItem* item = StringGrid1->item(row, col);
    return item ? item->text() : QString();
}

void TFrmSDFdata::SetCell(int col, int row, const QString& text, bool editable) {
    auto* item = new QTableWidgetItem(text);
    if (!editable) {
        // The fixed row and column, drawn as headings.
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        item->setBackground(StringGrid1->palette().button());
    }
    StringGrid1->setItem(row, col, item);
}

void TFrmSDFdata::InitSeriesWindow() {
    const char* headings[] = {"Channel No", "Item", "Unit", "A", "B"};
    StringGrid1->setRowCount(orvane::MaxChannels + 1);
    for (int c = 0; c < 5; ++c) SetCell(c, 0, QString::fromLatin1(headings[c]), false);
    for (int r = 1; r <= orvane::MaxChannels; ++r) SetCell(0, r, QString::number(r), false);
    for (QComboBox* combo : {ComboBoxSITUnit, ComboBoxBITUnit}) {
        QSignalBlocker block(combo);
        combo->clear();
        for (int i = 0; i < orvane::TimeUnitCount; ++i) combo->addItem(QString::fromLatin1(orvane::UnitName(i)));
        combo->setCurrentIndex(2);
    }
    UpdateSampleIntervalLabel();
}

bool TFrmSDFdata::OpenSeriesHeader(const std::string& fileName) {
    return store_.OpenSeriesHeader(fileName, *ctx_.prompter, *ctx_.progressSink);
}

bool TFrmSDFdata::ReadSdfHeader(const std::string& fileName) {
    return store_.ReadSdfHeader(fileName, *ctx_.prompter, *ctx_.progressSink);
}

bool TFrmSDFdata::ReadTsdHeader(const std::string& fileName) {
    return store_.ReadTsdHeader(fileName, *ctx_.prompter);
}

bool TFrmSDFdata::ReadTsdBurst(int burst) { return store_.ReadTsdBurst(burst, *ctx_.prompter); }

bool TFrmSDFdata::ReadTsdChannel(int burst, int channel, std::span<float> values) {
    return store_.ReadTsdChannel(burst, channel, values, *ctx_.prompter);
}

void TFrmSDFdata::UpdateSampleIntervalLabel() {
    const auto& h = store_.header;
    double shownSeconds = orvane::UnitSeconds(ComboBoxSITUnit->currentIndex());
    if (shownSeconds <= 0) {
        LblSInt->setText(QString());
        return;
    }
    float shown = static_cast<float>(h.SInt * orvane::UnitSeconds(h.SIntUnit) / shownSeconds);
    LblSInt->setText(Q(orvane::FormatGeneral(shown, 7)));
}

void TFrmSDFdata::Memo1Change() {
    // The memo holds 160 bytes in the file (a line break takes two).
    QString text = Memo1->toPlainText();
    std::string crlf = S(QString(text).replace(QStringLiteral("\n"), QStringLiteral("\r\n")));
    std::string cut;
    try {
        if (orvane::Cp932Length(crlf) <= 160) return;
        cut = orvane::CutToCp932Bytes(crlf, 160);
    } catch (const std::exception&) {
        return;  // a character without a CP932 form; the save step reports it
    }
    QSignalBlocker block(Memo1);
    Memo1->setPlainText(Q(cut).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    Memo1->moveCursor(QTextCursor::End);
}

void TFrmSDFdata::ComboBoxSITUnitChange() {
    RunGuarded(ctx_, [&] { UpdateSampleIntervalLabel(); });
}

int TFrmSDFdata::ShowSaveWindowForResult(int kind, bool startInInitialDir) {
    struct Scope {
        TFrmSDFdata* w;
        ~Scope() { w->DeferHeaderWrite = w->StartInInitialDir = false; }
    } scope{this};
    DeferHeaderWrite = true;
    StartInInitialDir = startInInitialDir;
    return ShowSaveWindow(kind);
}

int TFrmSDFdata::ShowSaveWindow(int kind) {
    if (kind == 0) {
        SaveDialog1.DefaultExt = QStringLiteral(".sdf");
        SaveDialog1.Filter = QStringLiteral("標準時系列ﾌｧｲﾙ(*.SDF)|*.sdf");
    } else if (kind == 1) {
        SaveDialog1.DefaultExt = QStringLiteral(".tsd");
        SaveDialog1.Filter = QStringLiteral("ﾃｷｽﾄ型時系列ﾌｧｲﾙ(*.TSD)|*.tsd");
    }
    FillSeriesWindow();
    int result = ShowModal(ctx_, this);
    return result == 1 ? 1 : 2;
}

void TFrmSDFdata::FillSeriesWindow() {
    const auto& h = store_.header;
    setWindowTitle(QStringLiteral("時系列ファイルの保存"));
    SaveDialog1.FileName = EditFileName->text();
    ComboBoxBITUnit->setEnabled(true);
    EditIteration->setReadOnly(false);
    BitBtn1->setText(QStringLiteral("保存"));

    std::string memo = h.Memo;
    while (!memo.empty() && static_cast<unsigned char>(memo.back()) <= ' ') memo.pop_back();
    Memo1->setPlainText(Q(memo).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    EdtStartTime->setText(Q(orvane::FormatDateTime(h.StartTime)));

    LblSampleSize->setText(QString::number(h.SampleSize));
    LblNch->setText(QString::number(h.NchInterval));
    LblNch2->setText(QString::number(h.NchBurst));
    EditIteration->setText(QString::number(h.Iteration));
    LblBInt->setText(QString::number(h.BInt));
    if (h.BIntUnit < orvane::TimeUnitCount) ComboBoxBITUnit->setCurrentIndex(h.BIntUnit);
    UpdateSampleIntervalLabel();

    const int n = std::clamp(h.ChannelCount(), 0, orvane::MaxChannels);
    StringGrid1->setRowCount(n + 1);
    for (int i = 0; i < n; ++i) {
        SetCell(0, i + 1, QString::number(i + 1), false);
        SetCell(1, i + 1, Q(h.ItemName[i]), true);
        SetCell(2, i + 1, Q(h.UnitName[i]), true);
        SetCell(3, i + 1, Q(orvane::FormatGeneral(h.CoefA[i], 7)), true);
        SetCell(4, i + 1, Q(orvane::FormatGeneral(h.CoefB[i], 7)), true);
    }
    StringGrid1->setFixedHeight(std::min((GridRowHeight + 1) * (n + 1) + 20, GridMaxHeight));
}

void TFrmSDFdata::Button1Click() {
    RunGuarded(ctx_, [&] {
        const bool inInitialDir = StartInInitialDir || EditFileName->text().isEmpty();
        QString start = inInitialDir ? SaveDialog1.InitialDir : EditFileName->text();
        if (inInitialDir && !start.isEmpty()) start += QLatin1Char('/');
        QString chosen = ChooseFile(ctx_, this, QString(), DialogFilter(SaveDialog1.Filter), start, true,
                                    DialogPurpose::SeriesOutput);
        if (chosen.isEmpty()) return;
        EditFileName->setText(Q(orvane::ChangeFileExt(S(chosen), S(SaveDialog1.DefaultExt))));
    });
}

void TFrmSDFdata::BitBtn1Click() {
    bool saved = false;
    RunGuarded(ctx_, [&] { saved = SaveFromWindow(); });
    if (saved) done(1);
}

void TFrmSDFdata::BitBtn2Click() { done(2); }

void TFrmSDFdata::reject() { done(2); }

bool TFrmSDFdata::SaveFromWindow() {
    const std::string name = S(EditFileName->text());
    orvane::Prompter& prompter = *ctx_.prompter;
    if (!orvane::HasSdfExtension(name)) {
        // TSD has no quoting: a "," in a name would split it into two fields on reading.
        const int n = std::clamp(store_.header.ChannelCount(), 0, orvane::MaxChannels);
        for (int i = 0; i < n; ++i) {
            if (Cell(1, i + 1).contains(',') || Cell(2, i + 1).contains(',')) {
                prompter.Error("チャンネル" + std::to_string(i + 1) +
                               "の項目名または単位に「,」があります。TSDファイルには「,」を含む名前を保存できません。");
                return false;
            }
        }
    }
    if (!store_.ConfirmOutputName(name, prompter)) return false;
    CollectWindowEdits();
    if (DeferHeaderWrite) {
        store_.OutputFileName = name;
        hide();
        return true;
    }
    if (!store_.WriteOutputHeader(name)) {
        prompter.Error(orvane::WriteFailureText(name, store_.LastWriteErrno));
        return false;
    }
    hide();
    return true;
}

void TFrmSDFdata::CollectWindowEdits() {
    auto& h = store_.header;
    QString memo = Memo1->toPlainText();
    memo.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    h.Memo = orvane::CutToCp932Bytes(S(memo), 160);
    h.StartTime = orvane::ParseDateTime(S(EdtStartTime->text()));
    if (ComboBoxBITUnit->currentIndex() >= 0) h.BIntUnit = static_cast<std::uint8_t>(ComboBoxBITUnit->currentIndex());
    int iteration = orvane::StrToInt(S(EditIteration->text()));
    if (iteration < 0 || iteration > 32767)
        throw orvane::OrvaneError("リピート回数は0から32767までの整数で入力してください。");
    h.Iteration = static_cast<std::int16_t>(iteration);
    const int n = std::clamp(h.ChannelCount(), 0, orvane::MaxChannels);
    for (int i = 0; i < n; ++i) {
        h.ItemName[i] = orvane::CutToCp932Bytes(S(Cell(1, i + 1)), 16);
        h.UnitName[i] = orvane::CutToCp932Bytes(S(Cell(2, i + 1)), 8);
        h.CoefA[i] = CheckedSingle(S(Cell(3, i + 1)));
        h.CoefB[i] = CheckedSingle(S(Cell(4, i + 1)));
    }
}
