#pragma once
#include <QAbstractSlider>
#include <QPlainTextEdit>

#include <functional>
#include <string>
#include <vector>

#include "gui/shell/Shell.h"
#include "verify/ComparisonText.h"
#include "verify/ViewerNavigation.h"

namespace qv {

// The widget of the clip viewer: read-only, and every key, the middle button and (while the
// viewer scrolls by itself) the wheel go to its controller instead of the editor.
class ClipViewerWidget final : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ClipViewerWidget(QWidget* parent = nullptr);
    // WheelScroll: one step per notch from the controller replaces the standard scrolling.
    void SetOwnWheel(bool own) { ownWheel_ = own; }

Q_SIGNALS:
    void keyDown(int key, Qt::KeyboardModifiers modifiers);
    void middleButtonPressed();
    void wheelStep(bool up);

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    bool ownWheel_ = true;
    int wheelRest_ = 0;   // an unfinished notch of a fine-grained wheel
};

// The clip viewer ClipViewer: the comparison text, its marks, the caret and scroll rules, and
// the keys, wheel and mouse of code navigation. Positions outside this class are byte offsets
// of the text (ComparisonText); the widget's document positions stay in here.
class ClipViewer final : public QObject, public ComparisonTextView {
    Q_OBJECT
public:
    ClipViewer(Settings& settings, Prompts& prompts, QWidget* pageParent);

    ClipViewerWidget* Widget() const { return widget_; }

    // ComparisonTextView.
    const ComparisonText& Comparison() const override { return text_; }
    void ShowMarks(const std::vector<TextRange>& marks) override;
    // The marks of a matching pass, already in document positions.
    void ShowDocumentMarks(const std::vector<DocRange>& marks);

    // Replaces the whole text (cut to the viewer's length): no marks, caret at the top.
    void SetText(std::string utf8);
    // The selection in byte offsets of the text.
    TextRange Selection() const;
    std::string SelectedText() const;
    void Select(TextRange range);
    // Caret at position 0, nothing selected, first line shown.
    void CaretToTop();
    void ScrollToTop();
    void EnsureCaretVisible();
    // Scrolls the selection about halfway up from where it was shown.
    void CenterSelection();

    // Keys, mouse and wheel (ClipViewerKeyDown, ClipViewerMouseDown, the wheel handlers).
    void ClipViewerKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void ClipViewerMouseDown();
    void WheelStep(bool up);
    void SelectNextCode();
    void SelectPreviousCode();
    // WordWrapExecute flips the setting; both apply it to the widget.
    void WordWrapExecute();
    void WheelScrollClick();
    bool HorizontalWheel() const { return horizontalWheel_; }

    // Colours, font, wrap and cursor from the settings.
    void ApplySettings();

Q_SIGNALS:
    // ClipViewerSelectionChange: which popup items the selection enables.
    void selectionRulesChanged(bool copyEnabled, bool logSearchEnabled);

private:
    void ApplyWrapAndCursor();
    // The marks already shown take the pickup colour in force.
    void RecolourMarks();
    void SelectionChanged();
    void ScrollBy(Qt::Orientation orientation, QAbstractSlider::SliderAction action);

    Settings& settings_;
    Prompts& prompts_;
    ClipViewerWidget* widget_;
    ComparisonText text_;
    bool horizontalWheel_ = false;   // the Tag of ClipViewer; not saved
};

}  // namespace qv
