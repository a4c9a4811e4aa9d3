#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace quarvel {

// The values of the instrument's answer to the stored-record request: line 1 is the echo, each
// later line (CR and one more character ending it) holds one value, and the record ends at the
// end of the answer or at an empty line. Line j is getField(reply, j, CR); this walks the reply
// once instead of once per line.
class StoredRecordReply {
public:
    // At most maxValues values, in order; a line that is not a number gives a point without a value.
    static std::vector<std::optional<double>> values(const QString& reply, int maxValues);
    // Line j (from 2) of the reply, as getField(reply, j, CR) gives it; empty past the end.
    static std::vector<QString> lines(const QString& reply, int maxLines);
};

} // namespace quarvel
