#pragma once
// 定数の定義 (unit ConstVal): the editor of the physical constants, and the reader and
// writer of WaveCval.dat, which also keeps the last inputs of the shoaling window and of
// the two time-series tools.
#include <string>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include "ui/app/AppContext.h"
#include "ui/widgets/LabeledEdit.h"

class TFrmEditConst : public QDialog {
    Q_OBJECT
public:
    explicit TFrmEditConst(AppContext& ctx, QWidget* parent = nullptr);

    // The folder of WaveCval.dat, with a trailing separator.
    std::string ProgramDir;
    // A folder whose WaveCval.dat is read when ProgramDir has none (see LocateSettings).
    std::string FallbackDir;
    std::string SettingsPath() const { return ProgramDir + "WaveCval.dat"; }

    // Converts the five boxes, in the order gra, SGfluid, RTp, gamma_TG, B_TG; a box that
    // is not a number raises the conversion error and the ones before it stay taken.
    void ApplyConstants();
    // Writes the 41 lines; a failed write leaves the previous file as it was.
    void SaveConstants();
    // Puts fitted Thornton-Guza values (as texts) into the boxes and saves as 保存 does,
    // every other constant as it is in force.
    void SaveThorntonGuza(const QString& gamma, const QString& b);
    // Reads the file if it exists; stops with an error at the first bad line, keeping
    // what the lines before it set.
    void LoadConstants();

    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QLineEdit* Editgra = nullptr;
    QLineEdit* EditSGfluid = nullptr;
    QLineEdit* EditRTp = nullptr;
    LabeledEdit* LabeledEditgamma_TG = nullptr;
    LabeledEdit* LabeledEditB_TG = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QPushButton* BitBtn3 = nullptr;
    QPushButton* BitBtn4 = nullptr;

public slots:
    void BitBtn1Click();
    void BitBtn3Click();
    void BitBtn4Click();

protected:
    // FormShow: the boxes show the constants in force.
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void ShowConstantsInForce();
    AppContext& ctx_;
};
