// A console reporter that also keeps each run's processor time and its
// "taille" counter by benchmark name, so that a benchmark program can print
// the ratios of ours to a peer once every run is done.
#pragma once
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

class CRapportRatios : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& tabRuns) override {
        for (const Run& r : tabRuns) {
            m_mapTemps[r.benchmark_name()] = r.GetAdjustedCPUTime();
            auto it = r.counters.find("taille");
            if (it != r.counters.end()) m_mapTailles[r.benchmark_name()] = it->second;
        }
        ConsoleReporter::ReportRuns(tabRuns);
    }
    // NaN for a run that did not happen (a peer skipped).
    double rTemps(const std::string& s) const { return _rValeur(m_mapTemps, s); }
    double rTaille(const std::string& s) const { return _rValeur(m_mapTailles, s); }
    double rRatio(const std::string& sNous, const std::string& sPair) const { return rTemps(sNous) / rTemps(sPair); }

private:
    static double _rValeur(const std::map<std::string, double>& map, const std::string& s) {
        auto it = map.find(s);
        return it != map.end() ? it->second : NAN;
    }
    std::map<std::string, double> m_mapTemps;
    std::map<std::string, double> m_mapTailles;
};

// For benchmarks whose cost is wall-clock time (launched processes, files
// on disk: the parent's processor time leaves most of it out): each run's
// real time per iteration by benchmark name, and the ratio of two.
class CRapportTempsReel : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& tabRuns) override {
        for (const Run& r : tabRuns)
            if (!r.error_occurred) m_mapTemps[r.benchmark_name()] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(tabRuns);
    }
    // NaN when either run did not happen.
    double rRatio(const std::string& sNous, const std::string& sPair) const {
        auto itNous = m_mapTemps.find(sNous), itPair = m_mapTemps.find(sPair);
        return itNous != m_mapTemps.end() && itPair != m_mapTemps.end() ? itNous->second / itPair->second : NAN;
    }
    // One line "ours / peer time r", nothing when a run is missing.
    void Compare(const char* pszNous, const char* pszPair) const {
        const double r = rRatio(pszNous, pszPair);
        if (!std::isnan(r)) std::printf("  %-40s / %-40s time %.2f\n", pszNous, pszPair, r);
    }

private:
    std::map<std::string, double> m_mapTemps;
};
