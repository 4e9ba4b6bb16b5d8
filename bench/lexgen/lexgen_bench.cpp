// lexgen run-time benchmarks over the corpus of corpus.h.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>

#include "corpus.h"
#include "reflex/matcher.h"
#include "sample_patterns.h"

// In tokens.lex: scans the input with the generated scanner and returns the
// number of tokens.
size_t generated_scan(const reflex::Input& input, bool positions, size_t& position_sum);

namespace {

void BM_CompileSourceTokens(benchmark::State& state) {
  for (auto _ : state) {
    reflex::Pattern p(samples::source_tokens);
    benchmark::DoNotOptimize(p.states());
  }
  state.counters["states"] = static_cast<double>(reflex::Pattern(samples::source_tokens).states());
}
BENCHMARK(BM_CompileSourceTokens)->Unit(benchmark::kMicrosecond);

void BM_CompileCodeCondition(benchmark::State& state) {
  const std::string regex = samples::s_code();
  for (auto _ : state) {
    reflex::Pattern p(regex);
    benchmark::DoNotOptimize(p.states());
  }
  state.counters["states"] = static_cast<double>(reflex::Pattern(regex).states());
}
BENCHMARK(BM_CompileCodeCondition)->Unit(benchmark::kMicrosecond);

// Scans the corpus with veskan's token rules; with positions, also asks
// for the line and column of every token, as a generated scanner does.
void scan_corpus(benchmark::State& state, bool positions) {
  static const reflex::Pattern pattern(samples::source_tokens);
  const reflex::Input input(corpus());
  size_t tokens = 0;
  for (auto _ : state) {
    reflex::Matcher m(pattern, input);
    tokens = 0;
    size_t sum = 0;
    for (;;) {
      if (m.scan()) {
        ++tokens;
        if (positions) sum += m.lineno() + m.columno();
      } else if (m.at_end()) {
        break;
      } else {
        m.input();
      }
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * corpus().size()));
  state.counters["tokens"] = static_cast<double>(tokens);
  state.counters["MB"] = static_cast<double>(corpus().size()) / 1e6;
}

// veskan's token rules after 1,000 keywords: about 5,000 states, so the
// tables by byte class. The Input is made in the loop, as a program makes
// it, from a FILE* (the corpus in a temporary file) or from a string.
void scan_keywords(benchmark::State& state, bool from_file) {
  static const reflex::Pattern pattern = [] {
    std::mt19937 rng(1);
    std::string regex = "(?m)";
    for (int i = 0; i < 1000; ++i) {
      std::string word;
      for (int len = 3 + static_cast<int>(rng() % 8); len > 0; --len) word += static_cast<char>('a' + rng() % 26);
      regex += "(" + word + ")|";
    }
    return reflex::Pattern(regex + samples::source_tokens.substr(4));
  }();
  FILE* file = nullptr;
  if (from_file) {
    file = std::tmpfile();
    if (!file || std::fwrite(corpus().data(), 1, corpus().size(), file) != corpus().size()) {
      state.SkipWithError("cannot write a temporary file");
      return;
    }
  }
  size_t tokens = 0;
  for (auto _ : state) {
    if (file) std::rewind(file);
    reflex::Matcher m(pattern, file ? reflex::Input(file) : reflex::Input(corpus()));
    tokens = 0;
    for (;;) {
      if (m.scan())
        ++tokens;
      else if (m.at_end())
        break;
      else
        m.input();
    }
  }
  if (file) std::fclose(file);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * corpus().size()));
  state.counters["tokens"] = static_cast<double>(tokens);
  state.counters["states"] = static_cast<double>(pattern.states());
}

void BM_KeywordsFromFile(benchmark::State& state) { scan_keywords(state, true); }
BENCHMARK(BM_KeywordsFromFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_KeywordsFromString(benchmark::State& state) { scan_keywords(state, false); }
BENCHMARK(BM_KeywordsFromString)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ScanCorpus(benchmark::State& state) { scan_corpus(state, false); }
BENCHMARK(BM_ScanCorpus)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ScanCorpusWithPositions(benchmark::State& state) { scan_corpus(state, true); }
BENCHMARK(BM_ScanCorpusWithPositions)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same rules as a generated scanner (tokens.lex), one yylex() call per
// token.
void generated_scanner(benchmark::State& state, bool positions) {
  const reflex::Input input(corpus());
  size_t tokens = 0, sum = 0;
  for (auto _ : state) tokens = generated_scan(input, positions, sum);
  benchmark::DoNotOptimize(sum);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * corpus().size()));
  state.counters["tokens"] = static_cast<double>(tokens);
}

void BM_GeneratedScanner(benchmark::State& state) { generated_scanner(state, false); }
BENCHMARK(BM_GeneratedScanner)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_GeneratedScannerWithPositions(benchmark::State& state) { generated_scanner(state, true); }
BENCHMARK(BM_GeneratedScannerWithPositions)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
