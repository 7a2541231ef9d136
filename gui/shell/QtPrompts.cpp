#include "gui/shell/QtPrompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QClipboard>
#include <QColorDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QStringList>

#include <cstdio>
#include <vector>

#include "gui/shell/Theme.h"

namespace qv {

QString ToQ(const std::string& utf8) { return QString::fromStdString(utf8); }
std::string FromQ(const QString& text) { return text.toStdString(); }

QString DialogText(const std::string& text)
{
    QString s = ToQ(text);
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

QString QtFilterEntry(const QString& description, const QString& patterns)
{
    QStringList list = patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    // "*.*" means every file here, including names without a dot.
    for (QString& p : list) {
        if (p == QStringLiteral("*.*")) p = QStringLiteral("*");
    }
    return description + QStringLiteral(" (") + list.join(QLatin1Char(' ')) + QLatin1Char(')');
}

QString QtFilterFrom(const std::string& filter)
{
    const QStringList parts = ToQ(filter).split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) out << QtFilterEntry(parts[i], parts[i + 1]);
    return out.join(QStringLiteral(";;"));
}

namespace {

struct ButtonSpec {
    QMessageBox::StandardButton button;
    Answer answer;
};

std::vector<ButtonSpec> ButtonsOf(Buttons buttons)
{
    using B = QMessageBox;
    switch (buttons) {
    case Buttons::Ok: return {{B::Ok, Answer::Ok}};
    case Buttons::OkCancel: return {{B::Ok, Answer::Ok}, {B::Cancel, Answer::Cancel}};
    case Buttons::YesNo: return {{B::Yes, Answer::Yes}, {B::No, Answer::No}};
    case Buttons::YesNoCancel:
        return {{B::Yes, Answer::Yes}, {B::No, Answer::No}, {B::Cancel, Answer::Cancel}};
    case Buttons::YesCancel: return {{B::Yes, Answer::Yes}, {B::Cancel, Answer::Cancel}};
    case Buttons::AbortRetryIgnore:
        return {{B::Abort, Answer::Abort}, {B::Retry, Answer::Retry}, {B::Ignore, Answer::Ignore}};
    case Buttons::RetryCancel: return {{B::Retry, Answer::Retry}, {B::Cancel, Answer::Cancel}};
    case Buttons::AbortIgnore: return {{B::Abort, Answer::Abort}, {B::Ignore, Answer::Ignore}};
    case Buttons::OkIgnore: return {{B::Ok, Answer::Ok}, {B::Ignore, Answer::Ignore}};
    case Buttons::OkNo: return {{B::Ok, Answer::Ok}, {B::No, Answer::No}};
    case Buttons::AbortRetry: return {{B::Abort, Answer::Abort}, {B::Retry, Answer::Retry}};
    }
    return {{B::Ok, Answer::Ok}};
}

// The buttons that change least, best first.
constexpr QMessageBox::StandardButton kCautiousButtons[] = {QMessageBox::Cancel, QMessageBox::No,
                                                            QMessageBox::Abort, QMessageBox::Ok};

Answer CautiousAnswer(const std::vector<ButtonSpec>& specs)
{
    for (QMessageBox::StandardButton safe : kCautiousButtons) {
        for (const ButtonSpec& s : specs) {
            if (s.button == safe) return s.answer;
        }
    }
    return specs.front().answer;
}

int g_running = 0;

// Counts a dialog from its start until it has returned.
struct Running {
    Running() { ++g_running; }
    ~Running() { --g_running; }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;
};

QMessageBox::Icon IconOf(BoxIcon icon)
{
    switch (icon) {
    case BoxIcon::Information: return QMessageBox::Information;
    case BoxIcon::Warning: return QMessageBox::Warning;
    case BoxIcon::Error: return QMessageBox::Critical;
    case BoxIcon::Question: return QMessageBox::Question;
    case BoxIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

Answer QtPrompts::Message(const std::string& title, const std::string& text, Buttons buttons,
                          BoxIcon icon, int defaultButton)
{
    const std::vector<ButtonSpec> specs = ButtonsOf(buttons);
    if (ending_) {
        // Nobody will read the box any more; its text still goes to the log.
        std::fprintf(stderr, "%s\n", DialogText(text).toUtf8().constData());
        return CautiousAnswer(specs);
    }
    Running running;
    QMessageBox box(IconOf(icon), ToQ(title), DialogText(text), QMessageBox::NoButton, parent_);
    QMessageBox::StandardButtons set;
    for (const ButtonSpec& s : specs) set |= s.button;
    box.setStandardButtons(set);
    // The job's reports say CTRL+C copies them; Qt's box does that only on Windows.
    QObject::connect(new QShortcut(QKeySequence::Copy, &box), &QShortcut::activated, &box,
                     [&box] { QGuiApplication::clipboard()->setText(box.text()); });
    if (defaultButton >= 0 && defaultButton < static_cast<int>(specs.size()))
        box.setDefaultButton(specs[static_cast<size_t>(defaultButton)].button);
    const int pressed = box.exec();
    for (const ButtonSpec& s : specs) {
        if (pressed == s.button) return s.answer;
    }
    // Closed with the window's close box: the most cautious answer the box offers, so
    // closing the batch warning never forces the program to end. A locked history file is
    // probed again, as its Retry button would.
    if (buttons == Buttons::AbortRetry && !ending_) return Answer::Retry;
    return CautiousAnswer(specs);
}

bool QtPrompts::Input(const std::string& title, const std::string& prompt, std::string& value)
{
    if (ending_) return false;
    Running running;
    bool ok = false;
    const QString text = QInputDialog::getText(parent_, ToQ(title), DialogText(prompt),
                                               QLineEdit::Normal, ToQ(value), &ok);
    if (ok) value = FromQ(text);
    return ok;
}

void QtPrompts::Beep() { QApplication::beep(); }

void AnswerOpenDialogsCautiously()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(w);
        if (!dialog || !dialog->isVisible()) continue;
        QAbstractButton* cautious = nullptr;
        if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
            for (QMessageBox::StandardButton b : kCautiousButtons) {
                if ((cautious = box->button(b))) break;
            }
        }
        if (cautious)
            cautious->click();
        else
            dialog->reject();
    }
}

bool DialogsRunning() { return g_running > 0; }

std::vector<std::string> QtPrompts::OpenFiles(const std::string& title, const std::string& folder,
                                              const std::string& filter)
{
    if (ending_) return {};
    Running running;
    const QStringList chosen =
        QFileDialog::getOpenFileNames(parent_, ToQ(title), ToQ(folder), QtFilterFrom(filter), nullptr,
                                      QFileDialog::DontResolveSymlinks);
    std::vector<std::string> out;
    for (const QString& f : chosen) out.push_back(FromQ(f));
    return out;
}

}  // namespace qv

namespace qv {

std::string QtPrompts::OpenFile(const std::string& title, const std::string& folder, const std::string& filter)
{
    if (ending_) return {};
    Running running;
    return FromQ(QFileDialog::getOpenFileName(parent_, ToQ(title), ToQ(folder), QtFilterFrom(filter), nullptr,
                                              QFileDialog::DontResolveSymlinks));
}

namespace {

// Qt's own file dialog (the platform's would hide the selection changes the preview needs),
// refusing to close on anything but an existing file.
class SoundFileDialog final : public QFileDialog {
public:
    SoundFileDialog(QWidget* parent, const QString& folder)
        : QFileDialog(parent, QStringLiteral("再生音を選んで下さい"), folder)
    {
        setOption(QFileDialog::DontUseNativeDialog);
        setFileMode(QFileDialog::ExistingFile);
        // Upper- and lower-case names alike; hidden and read-only files are listed too.
        setNameFilter(QStringLiteral("Wave (*.wav)"));
        setFilter(QDir::AllDirs | QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
        setLabelText(QFileDialog::Accept, QStringLiteral("登録(&S)"));
        setLabelText(QFileDialog::Reject, QStringLiteral("中止(&ESC)"));
        resize(520, 380);
    }

    void accept() override
    {
        // A folder is entered by the dialog itself.
        const QFileInfo chosen(selectedFiles().value(0));
        if (chosen.isFile() || chosen.isDir()) QFileDialog::accept();
        else QMessageBox::warning(this, windowTitle(), QStringLiteral("ファイルが指定されていません"));
    }
};

}  // namespace

std::string QtPrompts::ChooseSoundFile(const std::string& startFile, const std::string& startFolder,
                                       const std::function<void(const std::string&)>& preview)
{
    if (ending_) return {};
    Running running;
    SoundFileDialog dialog(parent_, ToQ(startFolder));
    QObject::connect(&dialog, &QFileDialog::currentChanged, &dialog, [&preview](const QString& path) {
        if (preview && QFileInfo(path).isFile()) preview(FromQ(path));
    });
    if (!startFile.empty() && QFileInfo(ToQ(startFile)).isFile()) dialog.selectFile(ToQ(startFile));
    if (dialog.exec() != QDialog::Accepted) return {};
    const QString chosen = dialog.selectedFiles().value(0);
    return QFileInfo(chosen).isFile() ? FromQ(QFileInfo(chosen).absoluteFilePath()) : std::string();
}

namespace {

// Qt's own save dialog, so that a read-only target (owner-write bit clear, as the file
// attributes count it) can be refused before anything is written.
class SaveFileDialog final : public QFileDialog {
public:
    SaveFileDialog(QWidget* parent, const QString& title) : QFileDialog(parent, title)
    {
        setOption(QFileDialog::DontUseNativeDialog);
        // The descriptions name their patterns already.
        setOption(QFileDialog::HideNameFilterDetails);
        setAcceptMode(QFileDialog::AcceptSave);
        setFileMode(QFileDialog::AnyFile);
    }

    void accept() override
    {
        const QFileInfo chosen(selectedFiles().value(0));
        if (chosen.isFile() && !(chosen.permissions() & QFileDevice::WriteOwner)) {
            QMessageBox::warning(this, windowTitle(),
                                 chosen.absoluteFilePath() + QStringLiteral("\n読み取り専用のファイルです\n"
                                                                            "別の名前を指定して下さい"));
            return;
        }
        QFileDialog::accept();
    }
};

}  // namespace

std::string QtPrompts::SaveFile(const std::string& title, const std::string& fileName,
                                const std::vector<FileFilter>& filterList, int& filterIndex)
{
    if (ending_) return {};
    Running running;
    SaveFileDialog dialog(parent_, ToQ(title));
    QStringList filters;
    for (const FileFilter& f : filterList) filters << QtFilterEntry(ToQ(f.description), ToQ(f.patterns));
    dialog.setNameFilters(filters);
    // The filter first: choosing one renames the proposed file to its extension.
    if (filterIndex >= 1 && filterIndex <= filters.size()) dialog.selectNameFilter(filters[filterIndex - 1]);
    dialog.selectFile(ToQ(fileName));
    if (dialog.exec() != QDialog::Accepted) return {};
    // The dialog names the chosen entry by the text it shows. Two entries of the same text
    // cannot be told apart; the first is taken.
    const QString picked = dialog.selectedNameFilter();
    for (size_t i = 0; i < filterList.size(); ++i) {
        if (picked == filters[static_cast<qsizetype>(i)] || picked == ToQ(filterList[i].description).simplified()) {
            filterIndex = static_cast<int>(i) + 1;
            break;
        }
    }
    return FromQ(dialog.selectedFiles().value(0));
}

std::string QtPrompts::ChooseFolder(const std::string& prompt, const std::string& startFolder)
{
    if (ending_) return {};
    Running running;
    QFileDialog dialog(parent_, QStringLiteral("フォルダの参照"),
                       startFolder.empty() ? QDir::homePath() : ToQ(startFolder));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        auto* label = new QLabel(DialogText(prompt), &dialog);
        label->setObjectName(QStringLiteral("FolderPrompt"));
        grid->addWidget(label, grid->rowCount(), 0, 1, grid->columnCount());
    }
    if (dialog.exec() != QDialog::Accepted) return {};
    const QString chosen = dialog.selectedFiles().value(0);
    return chosen.isEmpty() ? std::string() : FromQ(QDir::cleanPath(chosen));
}

bool QtPrompts::ChooseColour(uint32_t& colour)
{
    if (ending_) return false;
    Running running;
    QColorDialog dialog(ToQColor(colour), parent_);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted) return false;
    const QColor chosen = dialog.selectedColor();
    colour = MakeColour(chosen.red(), chosen.green(), chosen.blue());
    return true;
}

}  // namespace qv
