// Every input kept in fuzz/regressions/<target>/ (inputs that once broke a fuzz program)
// goes through the same body as in the fuzzer. A body aborts on a broken property, so a
// regression ends this program and fails the test.

#include "FuzzBodies.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Body = void (*)(std::span<const std::uint8_t>);

const std::map<std::string, Body>& bodies()
{
    static const std::map<std::string, Body> byTarget = {
        {"txd", fuzzing::textureDictionary}, {"dff", fuzzing::model},  {"archive", fuzzing::archive},
        {"mapfile", fuzzing::mapFile},       {"dat", fuzzing::datFile}, {"png", fuzzing::pngPicture},
    };
    return byTarget;
}

struct Regression {
    std::string target;
    fs::path input;
};

std::vector<Regression> regressions()
{
    std::vector<Regression> found;
    const fs::path root = fs::path(QUOX_FUZZ_REGRESSIONS);
    for (const auto& [target, body] : bodies()) {
        std::error_code error;
        for (fs::directory_iterator it(root / target, error), end; !error && it != end; it.increment(error))
            found.push_back({target, it->path()});
    }
    std::sort(found.begin(), found.end(), [](const Regression& a, const Regression& b) { return a.input < b.input; });
    return found;
}

void PrintTo(const Regression& regression, std::ostream* out)
{
    *out << regression.input.string();
}

class FuzzRegression : public testing::TestWithParam<Regression> {};

TEST_P(FuzzRegression, GoesThroughItsFuzzBody)
{
    std::ifstream in(GetParam().input, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_TRUE(in.good() || in.eof());
    bodies().at(GetParam().target)(bytes);
}

INSTANTIATE_TEST_SUITE_P(Saved, FuzzRegression, testing::ValuesIn(regressions()),
                         [](const testing::TestParamInfo<Regression>& info) {
                             std::string name = info.param.target + "_" + info.param.input.filename().string();
                             std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
                             return name;
                         });

// The folder must exist and hold inputs, else the test above silently tests nothing.
TEST(FuzzRegressionFolder, HoldsInputs)
{
    EXPECT_FALSE(regressions().empty()) << QUOX_FUZZ_REGRESSIONS;
}

} // namespace
