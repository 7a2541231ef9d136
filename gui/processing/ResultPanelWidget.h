#pragma once
#include <QFrame>

#include "gui/shell/ClickLabel.h"

class QGridLayout;
class QScrollBar;

namespace qv {

struct Settings;

// The basic frame MainPanel: name, size, codes, icon and the duplicate mark.
class ResultPanelWidget : public QFrame {
    Q_OBJECT
public:
    explicit ResultPanelWidget(QWidget* parent = nullptr);

    ClickLabel* lFileName;
    QWidget* fileNamePanel;
    ClickLabel* xFileName;
    QScrollBar* scrollBar1;
    ClickLabel* lFileSize;
    ClickLabel* xFileSize;
    ClickLabel* lCrc32;
    ClickLabel* xCrc32;
    ClickLabel* lMd5;
    ClickLabel* xMd5;
    ClickLabel* fileIcon;
    QLabel* duplicateMark;
    // The icon and the room beside it; hiding the icon moves the size and code rows left by it.
    static constexpr int kIconSlotWidth = 44;

    void ApplySettings(const Settings& s);
    void SetFileName(const QString& name);
    void Clear();
    // Shows the scroll bar under a name wider than its panel, hides it otherwise.
    void FitNameScroller();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QGridLayout* grid_;
};

}  // namespace qv
