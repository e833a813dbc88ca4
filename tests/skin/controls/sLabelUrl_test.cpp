#include "skin/controls/sLabelUrl.h"

#include <gtest/gtest.h>

#include <string>

namespace kv {
namespace {

struct UrlCase {
  std::string url;
  bool opens;
};

class LabelUrl : public ::testing::TestWithParam<UrlCase> {};

TEST_P(LabelUrl, OpensOnlyWebAndMailAddresses) {
  EXPECT_EQ(IsOpenableUrl(GetParam().url), GetParam().opens) << GetParam().url;
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, LabelUrl,
    ::testing::Values(
        UrlCase{"http://www.example.com", true}, UrlCase{"https://www.example.com/a?b=c", true},
        UrlCase{"mailto:service@example.com", true}, UrlCase{"HTTPS://WWW.EXAMPLE.COM", true},
        UrlCase{"", false}, UrlCase{"http://", false}, UrlCase{"mailto:", false},
        UrlCase{"c:\\windows\\system32\\calc.exe", false}, UrlCase{"calc.exe", false},
        UrlCase{"file:///c:/windows/notepad.exe", false},
        UrlCase{"\\\\server\\share\\run.bat", false}, UrlCase{" http://www.example.com", false},
        UrlCase{"javascript:alert(1)", false}, UrlCase{"ftp://example.com", false},
        UrlCase{"http://example.com\" --new-window c:\\x.exe", false},
        UrlCase{"http://example.com\r\ncalc", false}, UrlCase{"httpx://example.com", false}));

}  // namespace
}  // namespace kv
