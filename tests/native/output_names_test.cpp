#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "channels/names.hpp"
#include "channels/output.hpp"
#include "channels/reply_log.hpp"
#include "fake_port.hpp"

TEST(Output, IntegerSettingOnChannelZeroSendsGAndIsReadBack) {
    fake_port port;
    channels::output_state state;
    channels::set_output(port, state, 0, 550);
    channels::set_output(port, state, 0, -3);
    EXPECT_EQ(port.written, "G550\rG-3\r");
    EXPECT_EQ(state.last_output, -3);
    EXPECT_EQ(state.last_output_d, 0.0) << "the two read-backs are independent";
}

TEST(Output, DoubleSettingSendsTheRoundedValueAndKeepsTheExactOne) {
    struct { double value; const char* sent; } cases[] = {
        {546.5, "G546\r"}, {547.5, "G548\r"}, {546.4999, "G546\r"},
        {NAN, "G-2147483648\r"}, {3e9, "G-2147483648\r"}, {-0.5, "G0\r"},
    };
    for (const auto& c : cases) {
        fake_port port;
        channels::output_state state;
        channels::set_output_d(port, state, 0, c.value);
        EXPECT_EQ(port.written, c.sent) << c.value;
        EXPECT_TRUE(std::memcmp(&state.last_output_d, &c.value, sizeof(double)) == 0);
        EXPECT_EQ(state.last_output, 0);
    }
}

TEST(Output, OtherChannelsAreIgnored) {
    for (int32_t channel : {1, -1, 65536}) {
        fake_port port;
        channels::output_state state;
        channels::set_output(port, state, channel, 500);
        channels::set_output_d(port, state, channel, 500.0);
        EXPECT_EQ(port.written, "");
        EXPECT_EQ(state.last_output, 0);
        EXPECT_EQ(state.last_output_d, 0.0);
    }
}

TEST(Names, EachChannelHasItsExactName) {
    using namespace channels;
    EXPECT_STREQ(input_name(0), "longueur d'onde (nm)");
    EXPECT_STREQ(input_name_d(0), "longueur d'onde (nm)");
    EXPECT_STREQ(input_name(1), "absorption");
    EXPECT_STREQ(input_name_d(1), "Absorption");
    EXPECT_STREQ(input_name(2), "transmission");
    EXPECT_STREQ(input_name_d(2), "Transmission");
    EXPECT_STREQ(output_name(0), "lambda (nm)");
    for (int32_t missing : {3, -1, 65536, INT32_MIN}) {
        EXPECT_EQ(input_name(missing), empty_name);
        EXPECT_EQ(input_name_d(missing), empty_name);
        EXPECT_EQ(output_name(missing), empty_name);
    }
    EXPECT_EQ(output_name(1), empty_name);
    EXPECT_EQ(empty_name[0], '\0');
}

TEST(Names, TitleAndDescriptionNameThePortInWindows1252AndEndInTwoNuls) {
    char title[channels::title_capacity];
    char description[channels::description_capacity];
    channels::build_title("com4:", title);
    channels::build_description("com1:", description);
    const std::string t = "Jenway6320D, com4:";
    const std::string d = "DLL pour spectrophotom\xE8tre Jenway 6320D,com1:, L. Morvandel, 4 octobre 2012";
    EXPECT_EQ(std::string(title, t.size() + 2), t + std::string(2, '\0'));
    EXPECT_EQ(std::string(description, d.size() + 2), d + std::string(2, '\0'));
    EXPECT_LE(d.size() + 2, channels::description_capacity);
}

TEST(IoErrorText, KnownCodesHaveTheirTextOthersTheirNumber) {
    struct { uint32_t code; const char* text; } cases[] = {
        {2, "Fichier introuvable"}, {3, "Nom de fichier incorrect"}, {4, "Trop de fichiers ouverts"},
        {5, "Acc\xE8s au fichier refus\xE9"}, {100, "Lecture au del\xE0 de la fin de fichier"},
        {101, "Disque plein"}, {106, "Saisie num\xE9rique incorrecte"},
        {32, "Erreur E/S 32"}, {0xFFFFFFFFu, "Erreur E/S -1"}, {2147483648u, "Erreur E/S -2147483648"},
    };
    for (const auto& c : cases) {
        char text[channels::io_error_text_capacity];
        channels::io_error_text(c.code, text);
        EXPECT_STREQ(text, c.text);
    }
}
