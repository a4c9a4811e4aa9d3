#pragma once

#include <QStringList>

namespace quarvel {

// The window's tabs in order: the four parameter pages, then "Program" and "Record".
inline const QStringList kTabCaptions = {"Profile A", "Profile B", "Servo cycle", "Misc.", "Program", "Record"};
inline constexpr int kMiscTab = 3;
inline constexpr int kProgramTab = 4;
inline constexpr int kRecordTab = 5;

} // namespace quarvel
