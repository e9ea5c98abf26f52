#pragma once

#include <QString>
#include <QVariantMap>

// The tool module of the PLC table ("mod_tool.lua" in the PLC table directory): which PLC
// input each of the tool's three keys drives, whether the module is active and whether all
// eight program inputs are assigned. The script is only read, under the shared read lock.
// `dir` is the host path of the PLC table directory.
namespace PlcTable {

// Key bits sent to the key/PLC service.
inline constexpr int LeftBit = 0;
inline constexpr int MiddleBit = 1;
inline constexpr int RightBit = 2;

// {"L", "M", "R"}: the trimmed input name assigned to the table index 4, 5, 6; empty when
// none. A later assignment of an index replaces an earlier one.
QVariantMap keyTexts(const QString& dir);

// The text of a key bit (0 "L", 1 "M", 2 "R") in a map of keyTexts(); empty for other bits.
QString textOfBit(const QVariantMap& texts, int bit);

// The first "module.active = ..." line says true (any case).
bool moduleActive(const QString& dir);

// Each of the program inputs Prog0..Prog7 is assigned to some index.
bool allProgramsAvailable(const QString& dir);

} // namespace PlcTable
