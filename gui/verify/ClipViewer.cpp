#include "gui/verify/ClipViewer.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QWheelEvent>

#include "gui/shell/QtPrompts.h"
#include "gui/shell/Theme.h"
#include "platform/Prompts.h"
#include "settings/Settings.h"

namespace qv {

ClipViewerWidget::ClipViewerWidget(QWidget* parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("ClipViewer"));
    setAccessibleName(QStringLiteral("クリップボードビュア"));
    setReadOnly(true);
    setUndoRedoEnabled(false);
    // Files dropped here go to the window like anywhere else on it.
    setAcceptDrops(false);
    setContextMenuPolicy(Qt::CustomContextMenu);
}

bool ClipViewerWidget::event(QEvent* event)
{
    // Every key goes to the controller, before the editor or the focus chain sees Tab: no
    // typing, no caret keys, no keyboard copy.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        Q_EMIT keyDown(key->key(), key->modifiers());
        event->accept();
        return true;
    }
    return QPlainTextEdit::event(event);
}

void ClipViewerWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::MiddleButton) {
        Q_EMIT middleButtonPressed();
        event->accept();
        return;
    }
    QPlainTextEdit::mousePressEvent(event);
}

void ClipViewerWidget::wheelEvent(QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    if (!ownWheel_ || delta == 0 || (event->modifiers() & Qt::ControlModifier)) {
        QPlainTextEdit::wheelEvent(event);
        return;
    }
    // One step per notch replaces the standard three lines, so the horizontal mode does not
    // scroll both ways at once.
    wheelRest_ += delta;
    for (; wheelRest_ >= 120; wheelRest_ -= 120) Q_EMIT wheelStep(true);
    for (; wheelRest_ <= -120; wheelRest_ += 120) Q_EMIT wheelStep(false);
    event->accept();
}

ClipViewer::ClipViewer(Settings& settings, Prompts& prompts, QWidget* pageParent)
    : QObject(pageParent), settings_(settings), prompts_(prompts), widget_(new ClipViewerWidget(pageParent))
{
    connect(widget_, &ClipViewerWidget::keyDown, this, &ClipViewer::ClipViewerKeyDown);
    connect(widget_, &ClipViewerWidget::middleButtonPressed, this, &ClipViewer::ClipViewerMouseDown);
    connect(widget_, &ClipViewerWidget::wheelStep, this, &ClipViewer::WheelStep);
    connect(widget_, &QPlainTextEdit::selectionChanged, this, &ClipViewer::SelectionChanged);
}

void ClipViewer::ApplySettings()
{
    SetBackground(widget_, settings_.ViewColor);
    SetTextColour(widget_, settings_.ViewFontColor);
    QFont font(ToQ(settings_.ViewerFontName), settings_.ViewerFontSize > 0 ? settings_.ViewerFontSize : 9);
    font.setFamilies({ToQ(settings_.ViewerFontName), QStringLiteral("Noto Sans Mono CJK JP"),
                      QStringLiteral("monospace")});
    font.setStyleHint(QFont::TypeWriter);
    widget_->setFont(font);
    widget_->setTabStopDistance(8 * QFontMetricsF(font).horizontalAdvance(QLatin1Char(' ')));
    ApplyWrapAndCursor();
    RecolourMarks();
}

void ClipViewer::RecolourMarks()
{
    const QColor pickup = ToQColor(settings_.PickupColor);
    // Found first, changed after: a change merges fragments under a running iterator.
    std::vector<DocRange> marks;
    for (QTextBlock b = widget_->document()->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (f.fontUnderline() && f.foreground().color() != pickup)
                marks.push_back({it.fragment().position(), it.fragment().length()});
        }
    }
    if (marks.empty()) return;
    QTextCharFormat recoloured;
    recoloured.setForeground(pickup);
    QTextCursor cursor(widget_->document());
    cursor.beginEditBlock();
    for (const DocRange& m : marks) {
        cursor.setPosition(m.start);
        cursor.setPosition(m.start + m.length, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(recoloured);
    }
    cursor.endEditBlock();
}

void ClipViewer::ApplyWrapAndCursor()
{
    const bool wrap = settings_.WordWrap;
    widget_->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    widget_->setHorizontalScrollBarPolicy(wrap ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    widget_->SetOwnWheel(settings_.WheelScroll);
    Qt::CursorShape shape = Qt::IBeamCursor;
    if (settings_.WheelScroll) shape = horizontalWheel_ ? Qt::SizeHorCursor : Qt::SizeVerCursor;
    widget_->viewport()->setCursor(shape);
}

void ClipViewer::SetText(std::string utf8)
{
    text_ = ComparisonText(FitToViewerLength(std::move(utf8), settings_.ViewerMaxLength));
    // Emptied first, so the new text starts in the viewer's own colour and no mark carries over.
    widget_->clear();
    widget_->setCurrentCharFormat(QTextCharFormat());
    widget_->setPlainText(QString::fromUtf8(text_.Text()));
    CaretToTop();
    SelectionChanged();
}

void ClipViewer::ShowMarks(const std::vector<TextRange>& marks) { ShowDocumentMarks(text_.ToDocumentRanges(marks)); }

void ClipViewer::ShowDocumentMarks(const std::vector<DocRange>& marks)
{
    QTextCharFormat pickup;
    pickup.setForeground(ToQColor(settings_.PickupColor));
    pickup.setFontUnderline(true);
    // One edit block: the document reports a single change and lays out only what is shown.
    QTextCursor cursor(widget_->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.setCharFormat(QTextCharFormat());
    for (const DocRange& m : marks) {
        cursor.setPosition(m.start);
        cursor.setPosition(m.start + m.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(pickup);
    }
    cursor.endEditBlock();
    CaretToTop();
}

TextRange ClipViewer::Selection() const
{
    const QTextCursor c = widget_->textCursor();
    const size_t start = text_.TextOffset(c.selectionStart());
    return {start, text_.TextOffset(c.selectionEnd()) - start};
}

std::string ClipViewer::SelectedText() const
{
    const TextRange r = Selection();
    return text_.Text().substr(r.start, r.length);
}

void ClipViewer::Select(TextRange range)
{
    const DocRange d = text_.ToDocument(range);
    QTextCursor c(widget_->document());
    c.setPosition(d.start);
    c.setPosition(d.start + d.length, QTextCursor::KeepAnchor);
    widget_->setTextCursor(c);
    EnsureCaretVisible();
}

void ClipViewer::CaretToTop()
{
    QTextCursor c = widget_->textCursor();
    c.setPosition(0);
    widget_->setTextCursor(c);
    ScrollToTop();
}

void ClipViewer::ScrollToTop()
{
    widget_->verticalScrollBar()->setValue(0);
    widget_->horizontalScrollBar()->setValue(0);
}

void ClipViewer::EnsureCaretVisible() { widget_->ensureCursorVisible(); }

void ClipViewer::CenterSelection()
{
    const QTextCursor c = widget_->textCursor();
    const QTextBlock block = widget_->document()->findBlock(c.selectionStart());
    // Lines as the vertical scroll bar counts them: wrapped lines of laid-out blocks included.
    int line = block.firstLineNumber();
    if (const QTextLayout* layout = block.layout(); layout && layout->lineCount() > 0)
        line += layout->lineForTextPosition(c.selectionStart() - block.position()).lineNumber();
    QScrollBar* bar = widget_->verticalScrollBar();
    bar->setValue(bar->value() + (line - bar->value()) / 2);
}

void ClipViewer::ScrollBy(Qt::Orientation orientation, QAbstractSlider::SliderAction action)
{
    QScrollBar* bar = orientation == Qt::Vertical ? widget_->verticalScrollBar() : widget_->horizontalScrollBar();
    bar->triggerAction(action);
}

void ClipViewer::ClipViewerKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    // Enter never arrives here: the window's Enter rule takes it to the list frame first.
    switch (key) {
    case Qt::Key_Tab: (modifiers & Qt::ShiftModifier) ? SelectPreviousCode() : SelectNextCode(); break;
    case Qt::Key_Backtab: SelectPreviousCode(); break;
    case Qt::Key_PageUp: ScrollBy(Qt::Vertical, QAbstractSlider::SliderPageStepSub); break;
    case Qt::Key_PageDown: ScrollBy(Qt::Vertical, QAbstractSlider::SliderPageStepAdd); break;
    case Qt::Key_Up: ScrollBy(Qt::Vertical, QAbstractSlider::SliderSingleStepSub); break;
    case Qt::Key_Down: ScrollBy(Qt::Vertical, QAbstractSlider::SliderSingleStepAdd); break;
    case Qt::Key_Left: ScrollBy(Qt::Horizontal, QAbstractSlider::SliderSingleStepSub); break;
    case Qt::Key_Right: ScrollBy(Qt::Horizontal, QAbstractSlider::SliderSingleStepAdd); break;
    case Qt::Key_Home: CaretToTop(); break;
    case Qt::Key_End: {
        QTextCursor c = widget_->textCursor();
        c.movePosition(QTextCursor::End);
        widget_->setTextCursor(c);
        // The bottom of this view already shows a full last page, so no page up follows.
        ScrollBy(Qt::Vertical, QAbstractSlider::SliderToMaximum);
        break;
    }
    default: break;
    }
}

void ClipViewer::SelectNextCode()
{
    const TextRange sel = Selection();
    const CodeSelection code = qv::SelectNextCode(text_.Text(), sel.start, sel.length);
    if (!code.found) {
        prompts_.Beep();
        return;
    }
    Select(code.range);
    CenterSelection();
}

void ClipViewer::SelectPreviousCode()
{
    const CodeSelection code = qv::SelectPreviousCode(text_.Text(), Selection().start);
    if (!code.found) {
        prompts_.Beep();
        return;
    }
    Select(code.range);
    ScrollBy(Qt::Vertical, QAbstractSlider::SliderPageStepSub);
    CenterSelection();
}

void ClipViewer::WordWrapExecute()
{
    settings_.WordWrap = !settings_.WordWrap;
    ApplyWrapAndCursor();
}

void ClipViewer::WheelScrollClick()
{
    if (settings_.WheelScroll) horizontalWheel_ = false;
    ApplyWrapAndCursor();
}

void ClipViewer::ClipViewerMouseDown()
{
    if (settings_.WordWrap || !settings_.WheelScroll) return;
    horizontalWheel_ = !horizontalWheel_;
    ApplyWrapAndCursor();
}

void ClipViewer::WheelStep(bool up)
{
    if (!settings_.WheelScroll) return;
    const Qt::Orientation o = horizontalWheel_ ? Qt::Horizontal : Qt::Vertical;
    ScrollBy(o, up ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd);
}

void ClipViewer::SelectionChanged()
{
    const QTextCursor c = widget_->textCursor();
    const int length = c.selectionEnd() - c.selectionStart();
    // Only a selection of 8 or 32 positions can be a code; a long one is never copied out here.
    const bool code = (length == 8 || length == 32) && IsCodeText(SelectedText());
    Q_EMIT selectionRulesChanged(length > 0, code);
}

}  // namespace qv
