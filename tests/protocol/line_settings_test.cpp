#include "protocol/line_settings.h"

#include <gtest/gtest.h>

namespace dornvel {
namespace {

TEST(LineSettings, parses_the_four_fields) {
  auto s = ParseLineSettings("19200,E,7,1.5");
  ASSERT_TRUE(s);
  EXPECT_EQ(s->baudRate, 19200);
  EXPECT_EQ(s->parity, Parity::Even);
  EXPECT_EQ(s->dataBits, 7);
  EXPECT_EQ(s->stopBits, StopBits::OneAndHalf);
  for (const char* good :
       {"9600,N,8,1", "9600,N,8,2", " 9600 , n , 8 , 2 ", "300,O,5,1", "115200,M,8,1", "1200,S,6,2"}) {
    EXPECT_TRUE(ParseLineSettings(good)) << good;
  }
}

TEST(LineSettings, refuses_malformed_texts) {
  for (const char* bad : {"", "9600", "9600,N,8", "9600,N,8,2,1", "abc,N,8,2", "0,N,8,2", "-9600,N,8,2", "9600,X,8,2",
                          "9600,N,9,2", "9600,N,4,2", "9600,N,8,3", "9600,N,8,1.6", "96 00,N,8,2", "9600,NN,8,2"}) {
    EXPECT_FALSE(ParseLineSettings(bad)) << bad;
  }
}

TEST(LineSettings, character_time_counts_start_data_parity_and_stop_bits) {
  using std::chrono::microseconds;
  auto us = [](const char* text) {
    return std::chrono::duration_cast<microseconds>(ParseLineSettings(text)->CharacterTime()).count();
  };
  EXPECT_EQ(us("9600,N,8,2"), 1145);    // 11 bits at 9600 baud
  EXPECT_EQ(us("19200,N,8,1"), 520);    // 10 bits
  EXPECT_EQ(us("9600,E,8,1.5"), 1197);  // 11.5 bits
}

}  // namespace
}  // namespace dornvel
