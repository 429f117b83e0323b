// The bundled sample documents, for tests whose target defines STRANDIX_SAMPLES (the samples/
// folder as the test process sees it).
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

// The whole sample `name` as bytes; a test failure when it cannot be read.
inline std::string ReadSample(const std::string& name) {
    std::ifstream file(std::string(STRANDIX_SAMPLES) + "/" + name, std::ios::binary);
    EXPECT_TRUE(file) << name;
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}
