#pragma once
// TFrmSDFdata (unit SDFdata): owner of the current time series and its save window
// "時系列ファイルの保存". The file work lives in orvane::SeriesStore (Store()); the
// operations below add what the window shows around it.
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include "core/series/SeriesStore.h"
#include "ui/app/AppContext.h"

class TFrmSDFdata : public QDialog {
    Q_OBJECT
public:
    explicit TFrmSDFdata(AppContext& ctx, QWidget* parent = nullptr);

    orvane::SeriesStore& Store() { return store_; }
    orvane::SeriesHeader& Header() { return store_.header; }

    // The save-file dialog's settings; tools set InitialDir before ShowSaveWindow.
    struct SaveDialogSettings {
        QString DefaultExt = QStringLiteral(".sdf");
        QString Filter = QStringLiteral("標準時系列ﾌｧｲﾙ(*.SDF)|*.sdf");
        QString InitialDir;
        QString FileName;
    } SaveDialog1;

    // When set, saving confirms the name and takes the edits but leaves the file alone
    // (OutputFileName is set): the caller writes the whole file at once afterwards, so
    // that an existing file stays as it was until the new one is complete.
    bool DeferHeaderWrite = false;
    // The browse button starts in SaveDialog1.InitialDir whatever the name box holds.
    bool StartInInitialDir = false;

    // Grid and unit lists; once at start-up.
    void InitSeriesWindow();
    // Reads a header by extension through the program's message boxes and progress dialog.
    bool OpenSeriesHeader(const std::string& fileName);
    bool ReadSdfHeader(const std::string& fileName);
    bool ReadTsdHeader(const std::string& fileName);
    void AllocateSeriesData() { store_.AllocateSeriesData(); }
    bool ReadSdfBurst(int burst) { return store_.ReadSdfBurst(burst); }
    bool ReadTsdBurst(int burst);
    bool ReadSdfChannel(int burst, int channel, std::span<float> values) {
        return store_.ReadSdfChannel(burst, channel, values);
    }
    bool ReadTsdChannel(int burst, int channel, std::span<float> values);
    void WriteSdfBurst(int burst) { store_.WriteSdfBurst(burst); }
    void AppendTsdBurst(int burst) { store_.AppendTsdBurst(burst); }

    // 0 = SDF, 1 = TSD; returns 1 when the header was written, 2 when cancelled.
    int ShowSaveWindow(int kind);
    // ShowSaveWindow for a tool's result, with DeferHeaderWrite set (and StartInInitialDir
    // with startInInitialDir) for the time of the window; both are false again however it ends.
    int ShowSaveWindowForResult(int kind, bool startInInitialDir = false);
    void FillSeriesWindow();
    bool SaveFromWindow();
    void CollectWindowEdits();
    // SInt in the unit chosen for display, as LblSInt shows it.
    void UpdateSampleIntervalLabel();

    QLabel* Label1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* EdtStartTime = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* LblSampleSize = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* LblNch = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* LblSInt = nullptr;
    QComboBox* ComboBoxSITUnit = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* EditIteration = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* LblNch2 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* LblBInt = nullptr;
    QComboBox* ComboBoxBITUnit = nullptr;
    QTableWidget* StringGrid1 = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QLineEdit* EditFileName = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;

    static constexpr int GridRowHeight = 16;
    static constexpr int GridMaxHeight = 132;

public slots:
    void Button1Click();
    void BitBtn1Click();
    void BitBtn2Click();
    void ComboBoxSITUnitChange();
    void Memo1Change();

protected:
    void reject() override;

private:
    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text, bool editable);
    AppContext& ctx_;
    orvane::SeriesStore store_;
};
