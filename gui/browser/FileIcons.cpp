#include "gui/browser/FileIcons.h"

#include <QFileInfo>
#include <QPainter>
#include <QPixmap>

#include <sys/stat.h>

#include "gui/shell/QtPrompts.h"
#include "gui/shell/Theme.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "settings/Preferences.h"

namespace qv {

QIcon FileIcons::For(const std::string& path)
{
    if (plain_.isNull()) plain_ = provider_.icon(QAbstractFileIconProvider::File);
    const std::string extension = AsciiLower(ExtensionOf(NameOf(path)));
    if (extension.size() <= 1) return plain_;
    const auto known = byExtension_.find(extension);
    if (known != byExtension_.end()) return known->second;
    // Only a regular file is shown to the provider, which may read its first bytes: a FIFO
    // would block it.
    struct stat st {};
    const bool regular = ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    QIcon icon = regular ? provider_.icon(QFileInfo(ToQ(path))) : QIcon();
    if (icon.isNull()) icon = plain_;
    return byExtension_.emplace(extension, icon).first->second;
}

std::array<QIcon, 5> MakeResultMarks(const Settings& settings)
{
    static_assert(kResultMarkCount == 5);
    std::array<QIcon, 5> marks;
    for (int m = 0; m < kResultMarkCount; ++m) {
        QPixmap pixmap(16, 16);
        pixmap.fill(ToQColor(settings.ListColor));
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor colour = ToQColor(ResultMarkColour(m, settings));
        p.setPen(QPen(colour, 1.6));
        switch (m) {
        case 0:   // name and code: a double circle
            p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
            p.drawEllipse(QRectF(5, 5, 6, 6));
            break;
        case 1:   // MD5 found: a full circle
            p.setBrush(colour);
            p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
            break;
        case 2:   // CRC found: a ring
            p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
            break;
        case 3:   // only the name: a triangle
            p.drawPolygon(QPolygonF({QPointF(8, 2), QPointF(14, 13.5), QPointF(2, 13.5)}));
            break;
        default:   // nothing: a cross
            p.drawLine(QPointF(4, 4), QPointF(12, 12));
            p.drawLine(QPointF(12, 4), QPointF(4, 12));
            break;
        }
        p.end();
        marks[static_cast<size_t>(m)] = QIcon(pixmap);
    }
    return marks;
}

}  // namespace qv
