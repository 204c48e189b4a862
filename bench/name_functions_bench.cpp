// Times of the name functions on a name of 255 characters and on the longest
// text a name box holds (32,767), with inputs built to be slow: dense escapes,
// escapes nested through "%25", long runs of spaces, every code-page character
// and nothing but capitals. Budget: 10 us per call at 255, 5 ms at 32,767.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/codec/codec.h"
#include "platform/text/text.h"
#include "transform/name_functions.h"

namespace velmora {
namespace {

Text Repeat(const Text& unit, std::size_t length) {
  Text t;
  while (t.size() < length) t += unit;
  t.resize(length);
  return t;
}

Text Escapes(std::size_t length) {  // "%41%42%43..." through every escape
  const TextView digits = u"0123456789ABCDEF";
  Text t;
  for (int code = 0x41; t.size() + 3 <= length; code = code == 0xFF ? 0x20 : code + 1) {
    t += u'%';
    t += digits[code / 16];
    t += digits[code % 16];
  }
  return t;
}

Text NestedEscapes(std::size_t length) {  // every "%25" of the tail peels one level
  std::size_t levels = (length - 6) / 5;
  Text t = u"%";
  for (std::size_t i = 0; i < levels; ++i) t += u"25";
  t += u"41";
  for (std::size_t i = 0; i < levels; ++i) t += u"%25";
  t += u"%41";
  return t;
}

Text SpaceRuns(std::size_t length) {
  Text t;
  for (std::size_t run = 1; t.size() < length; ++run) t += Text(run % 64 + 1, u' ') + u"x";
  t.resize(length, u' ');
  return t;
}

Text CodePage(std::size_t length) {
  Text all;
  for (int code = 0; code <= 255; ++code) all += AnsiChr(static_cast<std::uint8_t>(code));
  return Repeat(all, length);
}

std::vector<std::pair<std::string, Text>> Inputs(std::size_t length) {
  return {
      {"name", Repeat(u"My%20Holiday-Photo_2024 (final) caf\u00E9  IMG.v2 ", length)},
      {"escapes", Escapes(length)},
      {"nested_escapes", NestedEscapes(length)},
      {"space_runs", SpaceRuns(length)},
      {"code_page", CodePage(length)},
      {"capitals", Text(length, u'Q')},
  };
}

using Function = Text (*)(TextView);

Text Lower(TextView s) { return LCase(s); }
Text Upper(TextView s) { return UCase(s); }
Text TrimSpaces(TextView s) { return Trim(s); }
Text HyphensToUnderscores(TextView s) { return ReplaceAll(s, u"-", u"_"); }
Text RemoveSpaces(TextView s) { return ReplaceAll(s, u" ", u""); }

const std::pair<const char*, Function> kFunctions[] = {
    {"LCase", Lower},
    {"UCase", Upper},
    {"ProperCase", ProperCase},
    {"SentenceCase", SentenceCase},
    {"Trim", TrimSpaces},
    {"CompactSpaces", CompactSpaces},
    {"ReplaceAll_hyphen", HyphensToUnderscores},
    {"ReplaceAll_space", RemoveSpaces},
    {"RemoveNonAlphanumeric", RemoveNonAlphanumeric},
    {"UnescapePercent", UnescapePercent},
    {"SplitCamelCase", SplitCamelCase},
};

void RegisterAll() {
  for (std::size_t length : {std::size_t{255}, std::size_t{32767}}) {
    for (const auto& [inputName, input] : Inputs(length)) {
      for (const auto& [functionName, function] : kFunctions) {
        std::string name = std::string(functionName) + "/" + inputName + "/" + std::to_string(length);
        benchmark::RegisterBenchmark(name.c_str(), [f = function, text = input](benchmark::State& state) {
          for (auto _ : state) benchmark::DoNotOptimize(f(text));
        })->Unit(benchmark::kMicrosecond);
      }
    }
  }
}

}  // namespace
}  // namespace velmora

int main(int argc, char** argv) {
  velmora::RegisterAll();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
