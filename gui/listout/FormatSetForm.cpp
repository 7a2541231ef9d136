#include "gui/listout/FormatSetForm.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>

#include "gui/shell/QtPrompts.h"

namespace qv {
namespace {

const char* const kNumbers[] = {"１", "２", "３", "４", "５"};
const char* const kStringHints[] = {"先頭にある固定文字列", "第１と第２コード間の固定文字列",
                                    "第２と第３コード間の固定文字列", "第３と第４コード間の固定文字列",
                                    "第４と第５コード間の固定文字列"};
const char* const kCodeHints[] = {"第１と第２文字列間のコード", "第２と第３文字列間のコード",
                                  "第３と第４文字列間のコード", "第４と第５文字列間のコード",
                                  "第５文字列以後のコード"};
const char* const kCodeItems[] = {"FileName", "MD5", "CRC", "FileSize", "TimeStamp", "無し"};
constexpr const char* kHeaderHint = "先頭にある固定文字列";

QString Numbered(const char* before, size_t i, const char* after)
{
    return QString::fromUtf8(before) + QString::fromUtf8(kNumbers[i]) + QString::fromUtf8(after);
}

// Only a changed text is set, so an edit being typed in keeps its cursor.
void SetText(QLineEdit* edit, const std::string& text)
{
    const QString q = ToQ(text);
    if (edit->text() != q) edit->setText(q);
}

void SetCode(QButtonGroup* group, int32_t code)
{
    if (QAbstractButton* b = group->button(code)) {
        b->setChecked(true);
        return;
    }
    // A code outside the group's items: none is on.
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons()) b->setChecked(false);
    group->setExclusive(true);
}

QComboBox* Combo(QWidget* parent, const char* name, std::initializer_list<const char*> items)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (const char* item : items) combo->addItem(QString::fromUtf8(item));
    return combo;
}

}  // namespace

FormatSetForm::FormatSetForm(ListFormatTable& formats, const std::vector<std::string>& timestampFormats,
                             QWidget* parent)
    : QDialog(parent), formats_(formats), timestampFormats_(timestampFormats)
{
    setObjectName(QStringLiteral("TFormatSetForm"));
    setWindowTitle(QStringLiteral("比較ファイルの出力書式設定"));
    setModal(true);
    BuildControls();
}

QLineEdit* FormatSetForm::AddEdit(const char* name, const char* hint)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setToolTip(QString::fromUtf8(hint));
    edit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(edit, &QWidget::customContextMenuRequested, this,
            [this, edit](const QPoint& at) { PopUpEditMenu(edit, at); });
    return edit;
}

void FormatSetForm::BuildControls()
{
    auto* box = new QVBoxLayout(this);
    box->setSizeConstraint(QLayout::SetFixedSize);

    auto* top = new QHBoxLayout;
    assignList_ = new QComboBox(this);
    assignList_->setObjectName(QStringLiteral("AssignList"));
    assignList_->setToolTip(QStringLiteral("選択変更しただけでは内容表示が変わらないので注意"));
    assignList_->setMinimumContentsLength(24);
    top->addWidget(new QLabel(QStringLiteral("設定選択"), this));
    top->addWidget(assignList_, 1);
    const auto button = [&](const char* name, const char* caption, const char* hint) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(QString::fromUtf8(hint));
        top->addWidget(b);
        return b;
    };
    connect(button("LoadBtn", "読み出し", "選択された番号の設定を読み出す"), &QPushButton::clicked, this,
            [this] { LoadBtnClick(); });
    connect(button("StoreBtn", "書き換え", "選択された番号の設定を書き換え"), &QPushButton::clicked, this,
            [this] { StoreBtnClick(); });
    QPushButton* closeBtn = button("CloseBtn", "閉じる", "書式編集を終了");
    closeBtn->setDefault(true);
    connect(closeBtn, &QPushButton::clicked, this, &QDialog::accept);
    box->addLayout(top);

    auto* naming = new QHBoxLayout;
    assignName_ = AddEdit("AssignName", "メニュで表示される項目名");
    extEdit_ = AddEdit("ExtEdit", "ドットを含まない拡張子を入力");
    extEdit_->setText(QStringLiteral("*"));
    naming->addWidget(new QLabel(QStringLiteral("登録名"), this));
    naming->addWidget(assignName_, 3);
    naming->addWidget(new QLabel(QStringLiteral("出力拡張子指定"), this));
    naming->addWidget(extEdit_, 1);
    box->addLayout(naming);

    auto* header = new QGroupBox(QStringLiteral("ヘッダ"), this);
    auto* headerRow = new QHBoxLayout(header);
    headerText1_ = AddEdit("HeaderText1", kHeaderHint);
    pathHeader_ = new QCheckBox(QStringLiteral("PATH名"), header);
    pathHeader_->setObjectName(QStringLiteral("PathHeader"));
    headerText2_ = AddEdit("HeaderText2", kHeaderHint);
    headerRow->addWidget(new QLabel(Numbered("第", 0, "文字列"), header));
    headerRow->addWidget(headerText1_);
    headerRow->addWidget(pathHeader_);
    headerRow->addWidget(new QLabel(Numbered("第", 1, "文字列"), header));
    headerRow->addWidget(headerText2_);
    connect(pathHeader_, &QCheckBox::clicked, this, [this](bool ticked) { PathHeaderClick(ticked); });
    box->addWidget(header);

    // The line in its order: each string above the code that follows it.
    auto* line = new QGridLayout;
    for (size_t i = 0; i < 5; ++i) {
        const int column = static_cast<int>(i);
        const std::string editName = "Edit" + std::to_string(i + 1);
        edits_[i] = AddEdit(editName.c_str(), kStringHints[i]);
        line->addWidget(new QLabel(Numbered("第", i, "文字列"), this), 0, column);
        line->addWidget(edits_[i], 1, column);
        if (i > 0) connect(edits_[i], &QLineEdit::textChanged, this, [this] { CheckString(); });

        auto* groupBox = new QGroupBox(Numbered("第", i, "コード"), this);
        groupBox->setObjectName(QString::fromStdString("CodeGroup" + std::to_string(i + 1)));
        groupBox->setToolTip(QString::fromUtf8(kCodeHints[i]));
        auto* radios = new QVBoxLayout(groupBox);
        codeGroups_[i] = new QButtonGroup(groupBox);
        // The first code can only be a name or a code of the file.
        const int items = i == 0 ? 3 : 6;
        for (int k = 0; k < items; ++k) {
            auto* radio = new QRadioButton(QString::fromUtf8(kCodeItems[k]), groupBox);
            radio->setObjectName(groupBox->objectName() + QLatin1Char('_') + QString::number(k));
            codeGroups_[i]->addButton(radio, k);
            radios->addWidget(radio);
        }
        radios->addStretch(1);
        connect(codeGroups_[i], &QButtonGroup::idClicked, this, [this] { CheckString(); });
        line->addWidget(groupBox, 2, column);
    }
    box->addLayout(line);

    auto* codes = new QGroupBox(QStringLiteral("各コード書式"), this);
    auto* codeGrid = new QGridLayout(codes);
    comboName_ = Combo(codes, "ComboName",
                       {"そのままのファイル名", "大文字に揃えたファイル名", "小文字に揃えたファイル名", "フルパスのファイル名"});
    comboMd5_ = Combo(codes, "ComboMd5", {"大文字", "小文字"});
    comboCrc_ = Combo(codes, "ComboCrc", {"大文字", "小文字"});
    comboSize_ = Combo(codes, "ComboSize", {"カンマ付き", "区切り無し"});
    comboTime_ = Combo(codes, "ComboTime", {});
    const std::pair<const char*, QComboBox*> formats[] = {
        {"FileName", comboName_}, {"MD5", comboMd5_}, {"CRC", comboCrc_}, {"FileSize", comboSize_}, {"TimeStamp", comboTime_}};
    int column = 0;
    for (const auto& [label, combo] : formats) {
        codeGrid->addWidget(new QLabel(QString::fromUtf8(label), codes), 0, column);
        codeGrid->addWidget(combo, 1, column++);
    }
    auto* tail = new QGroupBox(QStringLiteral("テイル"), this);
    auto* tailBox = new QVBoxLayout(tail);
    ckInsertCR_ = new QCheckBox(QStringLiteral("空白行挿入"), tail);
    ckInsertCR_->setObjectName(QStringLiteral("CkInsertCR"));
    tailBox->addWidget(ckInsertCR_);
    auto* lower = new QHBoxLayout;
    lower->addWidget(codes, 1);
    lower->addWidget(tail);
    box->addLayout(lower);

    stat_ = new QStatusBar(this);
    stat_->setObjectName(QStringLiteral("Stat"));
    stat_->setSizeGripEnabled(false);
    box->addWidget(stat_);

    editMenu_ = new QMenu(this);
    editMenu_->setObjectName(QStringLiteral("EditMenu"));
    const auto editAction = [this](const char* name, const char* caption, void (*run)(QLineEdit&)) {
        QAction* a = editMenu_->addAction(QString::fromUtf8(caption));
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [this, run] {
            if (menuTarget_) run(*menuTarget_);
        });
    };
    editAction("EditCut", "切り取り(&T)", [](QLineEdit& e) { e.cut(); });
    editAction("EditCopy", "コピー(&C)", [](QLineEdit& e) { e.copy(); });
    editAction("EditPaste", "貼り付け(&P)", [](QLineEdit& e) { e.paste(); });
}

void FormatSetForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormActivate();
    // The new list entries may widen the dialog; centre it at its final size.
    layout()->activate();
    if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

void FormatSetForm::FormActivate()
{
    assignList_->clear();
    for (size_t n = 0; n < formats_.size(); ++n) assignList_->addItem(ToQ(FormatListEntry(n + 1, formats_[n].Name)));
    assignList_->setCurrentIndex(0);
    comboTime_->clear();
    for (const std::string& pattern : timestampFormats_) comboTime_->addItem(ToQ(pattern));
    comboTime_->setCurrentIndex(0);
    LoadBtnClick();
}

void FormatSetForm::LoadBtnClick()
{
    const int n = assignList_->currentIndex();
    if (n < 0 || static_cast<size_t>(n) >= formats_.size()) return;
    WriteForm(LoadFormatForm(formats_[static_cast<size_t>(n)], timestampFormats_.size()));
    ShowStatus(LoadedMessage(static_cast<size_t>(n) + 1));
}

void FormatSetForm::StoreBtnClick()
{
    const int n = assignList_->currentIndex();
    const StoreOutcome outcome = StoreFormatForm(ReadForm(), n, formats_);
    if (outcome.stored) {
        assignList_->setItemText(n, ToQ(FormatListEntry(static_cast<size_t>(n) + 1, formats_[static_cast<size_t>(n)].Name)));
        assignList_->setCurrentIndex(n);
        LoadBtnClick();
    }
    ShowStatus(outcome.message);
}

FormatForm FormatSetForm::ReadForm() const
{
    FormatForm form;
    form.name = FromQ(assignName_->text());
    form.header1 = FromQ(headerText1_->text());
    form.header2 = FromQ(headerText2_->text());
    form.pathHeader = pathHeader_->isChecked();
    form.extension = FromQ(extEdit_->text());
    for (size_t i = 0; i < 5; ++i) {
        form.strings[i] = FromQ(edits_[i]->text());
        form.codes[i] = codeGroups_[i]->checkedId();
    }
    form.nameFormat = comboName_->currentIndex();
    form.md5Format = comboMd5_->currentIndex();
    form.crcFormat = comboCrc_->currentIndex();
    form.sizeFormat = comboSize_->currentIndex();
    form.timeFormat = comboTime_->currentIndex();
    form.tailBlankLine = ckInsertCR_->isChecked();
    return form;
}

void FormatSetForm::WriteForm(const FormatForm& form)
{
    const QScopedValueRollback<bool> writing(writing_, true);
    SetText(assignName_, form.name);
    SetText(headerText1_, form.header1);
    SetText(headerText2_, form.header2);
    pathHeader_->setChecked(form.pathHeader);
    SetText(extEdit_, form.extension);
    for (size_t i = 0; i < 5; ++i) {
        SetText(edits_[i], form.strings[i]);
        SetCode(codeGroups_[i], form.codes[i]);
    }
    comboName_->setCurrentIndex(form.nameFormat);
    comboMd5_->setCurrentIndex(form.md5Format);
    comboCrc_->setCurrentIndex(form.crcFormat);
    comboSize_->setCurrentIndex(form.sizeFormat);
    comboTime_->setCurrentIndex(form.timeFormat);
    ckInsertCR_->setChecked(form.tailBlankLine);
}

void FormatSetForm::CheckString()
{
    if (writing_) return;
    FormatForm form = ReadForm();
    const std::string warning = CheckCodes(form);
    WriteForm(form);
    ShowStatus(warning);
}

void FormatSetForm::PathHeaderClick(bool ticked)
{
    FormatForm form = ReadForm();
    form.pathHeader = ticked;
    PathHeaderChanged(form);
    SetText(headerText2_, form.header2);
}

void FormatSetForm::ShowStatus(const std::string& text) { stat_->showMessage(ToQ(text)); }

void FormatSetForm::PopUpEditMenu(QLineEdit* edit, const QPoint& at)
{
    menuTarget_ = edit;
    editMenu_->popup(edit->mapToGlobal(at));
}

}  // namespace qv
