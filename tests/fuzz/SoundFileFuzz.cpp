// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes, mostly malformed wave files, through the wave
// device's open path and decodes whatever opens to its end.
#include "playback/SoundFile.h"
#include "playback/WaveDevice.h"

#include "support/Fixtures.h"

#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Most inputs start from a valid header so the fuzzer gets past the magic quickly.
    static const unsigned char header[]
        = {'R', 'I', 'F', 'F', 0xff, 0xff, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    static const cptest::TempDir folder;
    const std::string path = folder / "sound.wav";
    if (size < 1)
        return 0;
    cptest::Bytes bytes(header, header + (data[0] & 1 ? sizeof header : 0));
    cptest::WriteFile(path, cptest::Concat({bytes, cptest::Bytes(data + 1, data + size)}));

    cp::WaveDevice device(nullptr);
    device.open(path);
    device.rewind();
    const auto length = device.length();
    if (length < 0 || (device.mode() == cp::WaveDevice::NotOpen && length != 0))
        std::abort();
    device.play();
    device.stop();
    device.position();
    device.close();

    cp::SoundFile sound(path);
    if (sound.isOpen()) {
        std::vector<float> buffer(std::size_t(256) * std::size_t(sound.channels()));
        std::int64_t total = 0;
        for (std::int64_t got; (got = sound.read(buffer.data(), 256)) > 0 && total < (1 << 22);)
            total += got;
    }
    return 0;
}
