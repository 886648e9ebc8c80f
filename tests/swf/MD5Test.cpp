#include "swf/MD5.h"
#include "tests/support/Shell.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

namespace pictova {
namespace {

TEST(MD5, Rfc1321TestSuite) {
    const std::pair<const char*, const char*> suite[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& [input, digest] : suite)
        EXPECT_EQ(MD5Hex(input), digest) << '"' << input << '"';
}

TEST(MD5, PiecewiseUpdatesMatchOneUpdate) {
    const std::string text(1000, 'q');
    TMD5Context ctx;
    for (size_t i = 0; i < text.size(); i += 37)
        ctx.Update(text.substr(i, 37));
    EXPECT_EQ(ctx.Final(), MD5(text));
}

TEST(MD5Crypt, FormAndSaltHandling) {
    const std::string hash = MD5Crypt("password", "ab");
    EXPECT_EQ(hash.substr(0, 6), "$1$ab$");
    ASSERT_EQ(hash.size(), 28u);
    const std::string alphabet = "./0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    EXPECT_EQ(hash.substr(6).find_first_not_of(alphabet), std::string::npos);
    EXPECT_EQ(MD5Crypt("password", "$1$xyz$").substr(0, 6), "$1$xy$");
    EXPECT_EQ(MD5Crypt("password", "abcdef"), hash);
}

TEST(MD5Crypt, ShortSaltsDrawRandomOnes) {
    std::set<std::string> salts;
    for (int i = 0; i < 8; ++i) {
        const std::string hash = MD5Crypt("same", i % 2 ? "" : "z");
        ASSERT_EQ(hash.size(), 28u);
        EXPECT_EQ(hash[5], '$');
        salts.insert(hash.substr(3, 2));
    }
    EXPECT_GT(salts.size(), 1u);
}

// openssl's own MD5-crypt is an independent implementation of the same scheme.
// It truncates passwords to 256 characters, so longer ones are not compared.
TEST(MD5Crypt, AgreesWithOpenssl) {
    if (std::system("command -v openssl >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "openssl is not installed";
    const std::pair<std::string, std::string> cases[] = {
        {"password", "ab"},
        {"x", "Zz"},
        {"sixteen chars!!!", "./"},    // step 3 once
        {"seventeen chars!!", "9q"},   // step 3 twice
        {std::string(255, 'p'), "Q1"}, // sixteen times (openssl cuts at 256)
        {"Geheimnis mit Leerzeichen", "s8"},
    };
    for (const auto& [password, salt] : cases) {
        std::string expected = test::RunCommand("openssl passwd -1 -salt " + test::Quote(salt) +
                                                " " + test::Quote(password));
        while (!expected.empty() && (expected.back() == '\n' || expected.back() == '\r'))
            expected.pop_back();
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(MD5Crypt(password, salt), expected) << password;
    }
}

} // namespace
} // namespace pictova
