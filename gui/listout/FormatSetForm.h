#pragma once
#include <QDialog>

#include <array>
#include <string>
#include <vector>

#include "listout/FormatDialog.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;
class QStatusBar;

namespace qv {

// The list-format dialog TFormatSetForm: edits the five list formats in place. It lives for
// the whole run; every showing starts on format 1. It reports only on its own status bar.
class FormatSetForm final : public QDialog {
    Q_OBJECT
public:
    FormatSetForm(ListFormatTable& formats, const std::vector<std::string>& timestampFormats, QWidget* parent);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void LoadBtnClick();
    void StoreBtnClick();
    void BuildControls();
    QLineEdit* AddEdit(const char* name, const char* hint);
    // Run each time the dialog is shown: the lists filled again, format 1 loaded.
    void FormActivate();
    FormatForm ReadForm() const;
    void WriteForm(const FormatForm& form);
    void CheckString();
    void PathHeaderClick(bool ticked);
    void ShowStatus(const std::string& text);
    void PopUpEditMenu(QLineEdit* edit, const QPoint& at);

    ListFormatTable& formats_;
    const std::vector<std::string>& timestampFormats_;
    QComboBox* assignList_ = nullptr;
    QLineEdit* assignName_ = nullptr;
    QLineEdit* extEdit_ = nullptr;
    QLineEdit* headerText1_ = nullptr;
    QLineEdit* headerText2_ = nullptr;
    QCheckBox* pathHeader_ = nullptr;
    std::array<QLineEdit*, 5> edits_{};
    std::array<QButtonGroup*, 5> codeGroups_{};
    QComboBox* comboName_ = nullptr;
    QComboBox* comboMd5_ = nullptr;
    QComboBox* comboCrc_ = nullptr;
    QComboBox* comboSize_ = nullptr;
    QComboBox* comboTime_ = nullptr;
    QCheckBox* ckInsertCR_ = nullptr;
    QStatusBar* stat_ = nullptr;
    QMenu* editMenu_ = nullptr;
    QLineEdit* menuTarget_ = nullptr;   // the edit the pop-up menu was opened on
    bool writing_ = false;              // the form is being filled: no checks meanwhile
};

}  // namespace qv
