#pragma once
#include <QColor>

#include "settings/Settings.h"

class QWidget;
class QApplication;

namespace qv {

// Stored colours are 0x00BBGGRR.
inline QColor ToQColor(Colour c) { return QColor(ColourRed(c), ColourGreen(c), ColourBlue(c)); }
void SetTextColour(QWidget* w, Colour c);
void SetBackground(QWidget* w, Colour c);

// Japanese Qt dialog texts and a CJK font, when the machine has them.
void InstallJapanese(QApplication& app);

}  // namespace qv
