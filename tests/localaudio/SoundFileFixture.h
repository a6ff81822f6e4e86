#pragma once
// Sound files for the file tests, written with libsndfile directly (so a fault in our reader
// cannot hide itself in our writer), in a folder of their own under the test's home.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace vm::test {

// A sample of each channel at each frame.
using SampleFunction = std::function<float(int channel, std::int64_t frame)>;

inline void writeSoundFile(const std::filesystem::path& path, int format, int rate, int channels,
                           std::int64_t frames, const SampleFunction& sample,
                           const std::string& title = {}) {
    SF_INFO info{};
    info.format = format;
    info.samplerate = rate;
    info.channels = channels;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(nullptr, file) << sf_strerror(nullptr);
    if (!title.empty()) {
        sf_set_string(file, SF_STR_TITLE, title.c_str());
    }
    std::vector<float> interleaved(std::size_t(frames) * std::size_t(channels));
    for (std::int64_t f = 0; f < frames; ++f) {
        for (int c = 0; c < channels; ++c) {
            interleaved[std::size_t(f) * std::size_t(channels) + std::size_t(c)] = sample(c, f);
        }
    }
    EXPECT_EQ(frames, sf_writef_float(file, interleaved.data(), frames));
    sf_close(file);
}

// A file as libsndfile reads it back: its SF_INFO and its frames, interleaved.
struct SoundFileContents {
    SF_INFO info{};
    std::vector<float> samples;
    float channelRms(int channel) const {
        double sum = 0;
        const auto frames = std::size_t(info.frames);
        for (std::size_t f = 0; f < frames; ++f) {
            const float s = samples[f * std::size_t(info.channels) + std::size_t(channel)];
            sum += double(s) * s;
        }
        return frames ? float(std::sqrt(sum / double(frames))) : 0.0f;
    }
};

inline SoundFileContents readSoundFile(const std::filesystem::path& path) {
    SoundFileContents contents;
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &contents.info);
    if (!file) {
        ADD_FAILURE() << "cannot open " << path << ": " << sf_strerror(nullptr);
        return contents;
    }
    contents.samples.resize(std::size_t(contents.info.frames) *
                            std::size_t(contents.info.channels));
    sf_readf_float(file, contents.samples.data(), contents.info.frames);
    sf_close(file);
    return contents;
}

// An empty folder named after the running test, under the test program's own home.
class SoundFolder {
public:
    SoundFolder() {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        path = std::filesystem::path(std::getenv("HOME")) /
               (std::string(test->test_suite_name()) + "." + test->name());
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~SoundFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    SoundFolder(const SoundFolder&) = delete;
    SoundFolder& operator=(const SoundFolder&) = delete;

    std::vector<std::string> names() const {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(path)) {
            found.push_back(entry.path().filename().string());
        }
        std::sort(found.begin(), found.end());
        return found;
    }

    std::filesystem::path path;
};

}  // namespace vm::test
