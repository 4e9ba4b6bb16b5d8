// What each of the Matcher's optional tables and its batch of tokens found
// ahead are worth: veskan's token rules over the corpus of corpus.h with
// every table (as a Pattern builds them for this DFA of under 256 states),
// without the pairs of bytes, without the restart table, and with only the
// transitions by byte class (as for DFAs above 256 states); and with every
// table, the batch dropped after each token (by less(size()), which keeps
// the token, as an action's yyless() would).
#include <benchmark/benchmark.h>

#include <string>

#include "corpus.h"
#include "program.h"
#include "reflex/matcher.h"
#include "sample_patterns.h"

namespace {

void scan(benchmark::State& state, const reflex::detail::Layouts& layouts, bool batch) {
  const reflex::Pattern pattern = reflex::detail::PatternMaker::make(samples::source_tokens, layouts);
  size_t tokens = 0;
  for (auto _ : state) {
    reflex::Matcher m(pattern, corpus());
    tokens = 0;
    for (;;) {
      if (m.scan()) {
        ++tokens;
        if (!batch) m.less(m.size());
      } else if (m.at_end()) {
        break;
      } else {
        m.input();
      }
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * corpus().size()));
  state.counters["tokens"] = static_cast<double>(tokens);
}

void BM_EveryTable(benchmark::State& state) { scan(state, {true, true, true}, true); }
void BM_NoPairs(benchmark::State& state) { scan(state, {true, true, false}, true); }
void BM_NoRestart(benchmark::State& state) { scan(state, {true, false, false}, true); }
void BM_ByClassOnly(benchmark::State& state) { scan(state, {false, false, false}, true); }
void BM_BatchDropped(benchmark::State& state) { scan(state, {true, true, true}, false); }
BENCHMARK(BM_EveryTable)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_NoPairs)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_NoRestart)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ByClassOnly)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_BatchDropped)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
