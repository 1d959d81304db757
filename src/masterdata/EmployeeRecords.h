#pragma once

#include <QString>

// Questions the employee and rights windows ask about an employee code. Codes
// are compared trimmed and without regard to case, as the look-ups find them.
namespace EmployeeRecords {

bool isEmployee(const QString& code);
// Rows of powers whose user id is the code.
int usersNamed(const QString& code);
// Bill headers (purchase and sales side) naming the employee in any person column.
int billsNaming(const QString& code);

} // namespace EmployeeRecords
