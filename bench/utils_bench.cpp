// Speed of the two utilities that run over every row a shop imports: pinyin initials of product and
// customer names, and identity-card checks of customers. Targets: GetShort above 100 MiB/s over
// mixed Chinese and Latin text; ValidateIDCard above 5 million numbers a second.

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "foundation/UnitPublicUtils.h"

int main() {
  using Clock = std::chrono::steady_clock;

  // 1 MiB of names as shops write them: Chinese words, models, colours in brackets.
  const std::string sample = "华为Mate60 Pro 雅川青(256G) 小米14手机 荣耀Magic6 黑色 李王乐着中国一 ";
  std::string text;
  while (text.size() < 1024 * 1024) text += sample;
  text.resize(1024 * 1024);
  while ((static_cast<unsigned char>(text.back()) & 0xC0) == 0x80 || static_cast<unsigned char>(text.back()) >= 0xC0)
    text.pop_back();

  size_t produced = 0;
  const int passes = 50;
  auto start = Clock::now();
  for (int i = 0; i < passes; ++i) produced += jxc::TPYHelper::GetShort(text, i % 2 == 0).size();
  double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::printf("GetShort: %d x %.2f MiB in %.3f s = %.0f MiB/s (%zu bytes out)\n", passes,
              static_cast<double>(text.size()) / (1024.0 * 1024.0), seconds,
              passes * static_cast<double>(text.size()) / (1024.0 * 1024.0) / seconds, produced);

  std::vector<std::string> numbers = {"11010519901231102X", "440301199003071230", "110105199012310027",
                                      "110105199012310020", "1101051A4912310A2X", "11010519900230001X"};
  const int rounds = 1000000;
  int valid = 0;
  start = Clock::now();
  for (int i = 0; i < rounds; ++i)
    for (const std::string& number : numbers) valid += jxc::ValidateIDCard(number).Validated ? 1 : 0;
  seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::printf("ValidateIDCard: %d numbers in %.3f s = %.1f million/s (%d valid)\n", rounds * 6, seconds,
              rounds * 6 / seconds / 1e6, valid);
  return 0;
}
