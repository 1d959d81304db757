#pragma once

#include <QString>

class QLabel;

namespace ui {

// Says in a picker's note, with a beep, that no `what` ("公司", "货品") matches
// what was typed, so Enter chose nothing. A message box there would be closed
// unread by a scanner's next Enter.
void sayNothingToChoose(QLabel* note, const QString& what, const QString& typed);

} // namespace ui
