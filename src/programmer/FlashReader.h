#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace quarvel {

class BootLoaderLink;

// Reads the application area back through the boot loader, word by word from address 0, for a
// copy of the firmware before it is replaced.
class FlashReader {
public:
    struct Result {
        bool completed = false;
        QByteArray bytes; // the area without its trailing erased (FF) bytes
        QString error;    // why it stopped, when not completed
    };
    using Progress = std::function<void(int byteAddress)>;

    explicit FlashReader(BootLoaderLink& link) : m_link(link) {}

    Result read(const Progress& progress = {});

private:
    BootLoaderLink& m_link;
};

} // namespace quarvel
