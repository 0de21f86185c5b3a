// Nanoseconds per date of the conversions and of the checks of one read.
#include <benchmark/benchmark.h>

#include <array>
#include <random>
#include <string>
#include <vector>

#include "calendar/civil.hpp"
#include "calendar/revo.hpp"

namespace {

// Dates of the span, in a fixed random order, so that branches and table
// look-ups see what a real file gives them.
struct Dates {
  std::vector<std::string> rep, greg;
  std::vector<civil::Lecture> rep_lues;
  std::vector<revo::Lecture> greg_lues;
};

const Dates& dates() {
  static const Dates d = [] {
    Dates r;
    std::mt19937 alea(1792);
    for (int i = 0; i < 4096; ++i) {
      char b[16];
      const int an = static_cast<int>(alea() % 13) + 1, m = static_cast<int>(alea() % 12) + 1;
      std::snprintf(b, sizeof b, "%02d/%s/%02d", static_cast<int>(alea() % 30) + 1,
                    std::string(calendar::abreviations[static_cast<std::size_t>(m - 1)]).c_str(),
                    an);
      r.rep.emplace_back(b);
      r.rep_lues.push_back(civil::lire(b));
      std::snprintf(b, sizeof b, "%02d/%02d/%04d", static_cast<int>(alea() % 28) + 1,
                    static_cast<int>(alea() % 12) + 1, 1793 + static_cast<int>(alea() % 12));
      r.greg.emplace_back(b);
      r.greg_lues.push_back(revo::lire(b));
    }
    return r;
  }();
  return d;
}

// Runs f on each date in turn, as many times as the benchmark asks.
template <class Dates, class F>
void chaque(benchmark::State& st, const Dates& dates, F f) {
  std::size_t i = 0;
  for (auto _ : st) f(dates[i++ & 4095]);
}

void CivilBatch(benchmark::State& st) {
  calendar::Resultat r{};
  chaque(st, dates().rep_lues, [&](const civil::Lecture& l) {
    benchmark::DoNotOptimize(civil::traduc_lot(r, l.jour, l.mois, l.annee));
    benchmark::DoNotOptimize(r);
  });
}

void CivilSingle(benchmark::State& st) {
  calendar::Resultat r{};
  chaque(st, dates().rep_lues, [&](const civil::Lecture& l) {
    benchmark::DoNotOptimize(civil::traduc(r, l.jour, l.mois, l.annee));
    benchmark::DoNotOptimize(r);
  });
}

void RevoBatch(benchmark::State& st) {
  calendar::Resultat r{};
  chaque(st, dates().greg_lues, [&](const revo::Lecture& l) {
    benchmark::DoNotOptimize(revo::traduc_lot(r, l.jour, l.mois, l.annee));
    benchmark::DoNotOptimize(r);
  });
}

void RevoSingle(benchmark::State& st) {
  calendar::Resultat r{};
  chaque(st, dates().greg_lues, [&](const revo::Lecture& l) {
    revo::traduc(r, l.jour, l.mois, l.annee);
    benchmark::DoNotOptimize(r);
  });
}

void CivilChecks(benchmark::State& st) {
  chaque(st, dates().rep, [](const std::string& t) { benchmark::DoNotOptimize(civil::lire(t)); });
}

void RevoChecks(benchmark::State& st) {
  chaque(st, dates().greg, [](const std::string& t) {
    const revo::Lecture l = revo::lire(t);
    benchmark::DoNotOptimize(revo::verifier({l.jour, l.mois, l.annee}));
  });
}

BENCHMARK(CivilBatch);
BENCHMARK(CivilSingle);
BENCHMARK(RevoBatch);
BENCHMARK(RevoSingle);
BENCHMARK(CivilChecks);
BENCHMARK(RevoChecks);

}  // namespace
