// Feeds arbitrary bytes, mostly malformed wave files, through the wave
// device's open path and decodes whatever opens to its end.
#include "playback/SoundFile.h"
#include "playback/WaveDevice.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {
std::string WorkFile()
{
    static const std::string path = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/cpfuzz-sound-XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0)
            std::abort();
        ::close(fd);
        return pattern;
    }();
    return path;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Most inputs start from a valid header so the fuzzer gets past the magic quickly.
    static const unsigned char header[] = {'R', 'I', 'F', 'F', 0xff, 0xff, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    const std::string path = WorkFile();
    FILE* f = std::fopen(path.c_str(), "wb");
    if (size > 0 && data[0] & 1)
        std::fwrite(header, 1, sizeof header, f);
    if (size > 1)
        std::fwrite(data + 1, 1, size - 1, f);
    std::fclose(f);

    cp::WaveDevice device(nullptr);
    device.setFileName(path);
    device.command("Open");
    device.command("Set");
    const auto length = device.length();
    if (length < 0 || (device.mode() == cp::WaveDevice::NotOpen && length != 0))
        std::abort();
    device.command("Play");
    device.command("Stop");
    (void)device.position();
    device.command("Close");

    cp::SoundFile sound(path);
    if (sound.isOpen()) {
        std::vector<float> buffer(std::size_t(256) * std::size_t(sound.channels()));
        std::int64_t total = 0;
        for (std::int64_t got; (got = sound.read(buffer.data(), 256)) > 0 && total < (1 << 22);)
            total += got;
    }
    return 0;
}
