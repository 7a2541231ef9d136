#pragma once
#include <QColor>
#include <QFileIconProvider>
#include <QIcon>

#include <array>
#include <string>
#include <unordered_map>

namespace qv {

struct Settings;

// Small file icons from the desktop's icon theme, asked for once per extension: a folder of
// 20,000 files costs a few lookups, and no file but the first of each kind is looked into.
class FileIcons {
public:
    QIcon For(const std::string& path);

private:
    QFileIconProvider provider_;
    std::unordered_map<std::string, QIcon> byExtension_;
    QIcon plain_;
};

// ResultIconList: the bulk checks' marks by ResultMark, 16 x 16 on the list's background, each
// in its ResultMarkColour.
std::array<QIcon, 5> MakeResultMarks(const Settings& settings);

}  // namespace qv
