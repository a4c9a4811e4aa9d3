#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace quarvel {

// What the boot loader's replies to its identification commands say. Each reply starts with the
// echo of its command letter; a reply without it says nothing.
namespace loaderreply {

bool echoed(const QByteArray& reply, char letter);
// A version or identifier: everything after the echo, as received.
std::optional<QString> textAfterEcho(const QByteArray& reply, char letter);
// Lock or fuse bits: the byte after the echo, in hexadecimal.
std::optional<QString> bitsAfterEcho(const QByteArray& reply, char letter);
// The signature bytes after the echo of "s", at most three; fewer when the reply is short.
QList<int> signatureBytes(const QByteArray& reply);

} // namespace loaderreply
} // namespace quarvel
