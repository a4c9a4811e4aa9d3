#pragma once

#include <QString>

#include <optional>

namespace quarvel {

struct FlashMismatch;

inline const QString kInvalidHexRecordMessage = QStringLiteral("Invalid HEX record!");
inline const QString kEraseQuestion = QStringLiteral("Are you sure you wish to erase the application?");
inline const QString kVerifyOkMessage = QStringLiteral("Verify OK, no erros found!");
inline const QString kNothingToVerifyMessage =
    QStringLiteral("Nothing was verified: the file holds no data record.");
// Follows the reason when Program Flash stops part-way: the pages before it stay written.
inline const QString kIncompleteApplicationMessage =
    QStringLiteral("The instrument now holds an incomplete application: run Erase Flash and Program Flash "
                   "again before leaving the Program tab.");
// Said by both front ends where the loader is kept running rather than start a failed application.
inline const QString kUnverifiedApplicationMessage =
    QStringLiteral("the flash does not hold a verified application; the boot loader keeps running; flash again");
inline const QString kHexFileDialogTitle = QStringLiteral("Select Intel HEX file...");
inline const QString kHexFilePattern = QStringLiteral("*.hex");
inline const QString kSaveFlashDialogTitle = QStringLiteral("Save the application as...");

// Said once the application area has been read into a file.
QString flashSavedMessage(int bytes, const QString& path);

// A byte as the program shows it: upper-case digits without leading zeros (7, 1E, FF).
QString hexByte(int value);

// A word read back that differs from the image, bytes low first:
// "Verify error at 0 expected C94 read FFFF".
QString mismatchText(const FlashMismatch& mismatch);

// A fuse or lock byte typed as hexadecimal digits (either case, no prefix), or why it is refused.
struct BitsText {
    std::optional<quint8> value;
    QString error;
};
// `what` names the box in the message, e.g. "fuse bits".
BitsText parseBitsText(const QString& text, const QString& what);

} // namespace quarvel
