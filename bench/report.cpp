// Gathers the probe's figures from every run of the viewer and of the floor
// program into one table of medians and ranges, a JSON file, and a verdict
// on each target.
//
// usage: brelox_bench_report --json OUT --seconds S
//            --program FILE... --floor FILE...
//            --callgrind-program FILE --callgrind-floor FILE
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace
{

using Figures = std::map<std::string, double>;

struct Metric {
    const char *key;
    const char *label;
    int decimals;
};

const Metric METRICS[] = {
    {"fps", "frames/s", 1},
    {"frames_per_tick", "frames per tick", 3},
    {"interval_p50_ms", "frame interval p50 (ms)", 2},
    {"interval_p99_ms", "frame interval p99 (ms)", 2},
    {"interval_max_ms", "frame interval max (ms)", 2},
    {"first_frame_ms", "start to first frame (ms)", 1},
    {"cpu_ms_per_frame", "CPU per frame (ms)", 3},
    {"peak_rss_mib", "peak RSS (MiB)", 1},
    {"own_allocs_per_frame", "own-code allocations per frame", 3},
    {"stack_allocs_per_frame", "freeglut/GL/X allocations per frame", 1},
    {"own_allocs_total", "own-code allocations, whole run", 0},
};

constexpr double FPS_RATIO_TARGET = 0.99;

struct Options {
    std::string json;
    std::string seconds = "0";
    std::vector<std::string> program;
    std::vector<std::string> floor;
    std::string callgrindProgram;
    std::string callgrindFloor;
};

struct Summary {
    double median;
    double min;
    double max;
};

struct Verdict {
    const char *name;
    bool met;
    std::string detail;
};

Figures readFigures(const std::string &path)
{
    Figures figures;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos)
            figures[line.substr(0, eq)] = std::stod(line.substr(eq + 1));
    }
    return figures;
}

std::vector<Figures> readAll(const std::vector<std::string> &paths)
{
    std::vector<Figures> runs;
    runs.reserve(paths.size());
    for (const std::string &path : paths)
        runs.push_back(readFigures(path));
    return runs;
}

double figure(const Figures &figures, const char *key)
{
    const auto found = figures.find(key);
    return found == figures.end() ? 0.0 : found->second;
}

// The median of an even count is the mean of the middle two.
Summary summarise(std::vector<double> values)
{
    if (values.empty())
        return {0.0, 0.0, 0.0};
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    const double median = values.size() % 2 != 0 ? values[mid] : (values[mid - 1] + values[mid]) / 2.0;
    return {median, values.front(), values.back()};
}

Summary summariseKey(const std::vector<Figures> &runs, const char *key)
{
    std::vector<double> values;
    values.reserve(runs.size());
    for (const Figures &run : runs)
        values.push_back(figure(run, key));
    return summarise(values);
}

std::string format(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string cell(const Summary &s, int decimals)
{
    return format(s.median, decimals) + " (" + format(s.min, decimals) + "-" + format(s.max, decimals) + ")";
}

double instructionsPerFrame(const Figures &callgrind)
{
    const double frames = figure(callgrind, "frames");
    return frames > 0.0 ? figure(callgrind, "instructions") / frames : 0.0;
}

// Each program run is paired with the floor run next to it in time.
Summary fpsRatios(const std::vector<Figures> &program, const std::vector<Figures> &floor)
{
    std::vector<double> ratios;
    for (std::size_t i = 0; i < std::min(program.size(), floor.size()); ++i)
        if (figure(floor[i], "fps") > 0.0)
            ratios.push_back(figure(program[i], "fps") / figure(floor[i], "fps"));
    return summarise(ratios);
}

bool everyRun(const std::vector<Figures> &runs, bool (*holds)(const Figures &))
{
    return !runs.empty() && std::all_of(runs.begin(), runs.end(), holds);
}

bool oneFramePerTick(const Figures &run)
{
    return figure(run, "ticks") > 0.0 && figure(run, "ticks_without_frame") == 0.0 &&
           figure(run, "ticks_with_extra_frames") == 0.0;
}

bool noOwnAllocations(const Figures &run)
{
    return figure(run, "steady_frames") > 0.0 && figure(run, "own_allocs_steady") == 0.0;
}

std::vector<Verdict> judge(const std::vector<Figures> &program, const std::vector<Figures> &floor,
                           double programIpf, double floorIpf)
{
    const Summary ratio = fpsRatios(program, floor);
    const Summary ownPerFrame = summariseKey(program, "own_allocs_per_frame");
    std::vector<Verdict> verdicts;
    verdicts.push_back({"frames/s at least 0.99 x the floor's", ratio.median >= FPS_RATIO_TARGET,
                        "ratio " + cell(ratio, 3)});
    verdicts.push_back({"exactly one frame per tick", everyRun(program, oneFramePerTick),
                        "frames per tick " + cell(summariseKey(program, "frames_per_tick"), 3)});
    verdicts.push_back({"zero own-code heap allocations per frame", everyRun(program, noOwnAllocations),
                        "per frame " + cell(ownPerFrame, 3)});
    const bool measured = programIpf > 0.0 && floorIpf > 0.0;
    verdicts.push_back({"instructions per frame beside the floor's", measured,
                        format(programIpf, 0) + " vs " + format(floorIpf, 0) + " (" +
                            format(measured ? programIpf / floorIpf : 0.0, 2) + "x)"});
    return verdicts;
}

void printTable(const std::vector<Figures> &program, const std::vector<Figures> &floor, double programIpf,
                double floorIpf)
{
    std::printf("\n%-38s %-28s %-28s\n", "median (min-max)", "brelox", "floor");
    for (const Metric &m : METRICS)
        std::printf("%-38s %-28s %-28s\n", m.label, cell(summariseKey(program, m.key), m.decimals).c_str(),
                    cell(summariseKey(floor, m.key), m.decimals).c_str());
    std::printf("%-38s %-28s %-28s\n", "instructions per frame (callgrind)", format(programIpf, 0).c_str(),
                format(floorIpf, 0).c_str());
}

void printVerdicts(const std::vector<Verdict> &verdicts)
{
    std::printf("\n");
    for (const Verdict &v : verdicts)
        std::printf("%-44s %-8s %s\n", v.name, v.met ? "met" : "NOT MET", v.detail.c_str());
}

void writeSide(std::FILE *out, const char *name, const std::vector<Figures> &runs, double ipf)
{
    std::fprintf(out, "  \"%s\": {\n", name);
    for (const Metric &m : METRICS) {
        const Summary s = summariseKey(runs, m.key);
        std::fprintf(out, "    \"%s\": {\"median\": %.6g, \"min\": %.6g, \"max\": %.6g},\n", m.key, s.median,
                     s.min, s.max);
    }
    std::fprintf(out, "    \"instructions_per_frame\": %.0f\n  },\n", ipf);
}

void writeJson(const Options &options, const std::vector<Figures> &program, const std::vector<Figures> &floor,
               double programIpf, double floorIpf, const std::vector<Verdict> &verdicts)
{
    std::FILE *out = std::fopen(options.json.c_str(), "w");
    if (!out)
        return;
    std::fprintf(out, "{\n  \"runs\": %zu,\n  \"seconds_per_run\": %s,\n", program.size(),
                 options.seconds.c_str());
    writeSide(out, "brelox", program, programIpf);
    writeSide(out, "floor", floor, floorIpf);
    std::fprintf(out, "  \"targets\": [\n");
    for (std::size_t i = 0; i < verdicts.size(); ++i)
        std::fprintf(out, "    {\"target\": \"%s\", \"met\": %s, \"detail\": \"%s\"}%s\n", verdicts[i].name,
                     verdicts[i].met ? "true" : "false", verdicts[i].detail.c_str(),
                     i + 1 < verdicts.size() ? "," : "");
    std::fprintf(out, "  ]\n}\n");
    std::fclose(out);
}

bool parseOptions(int argc, char **argv, Options &options)
{
    std::vector<std::string> *list = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--program")
            list = &options.program;
        else if (arg == "--floor")
            list = &options.floor;
        else if (arg == "--json" && hasValue)
            options.json = argv[++i];
        else if (arg == "--seconds" && hasValue)
            options.seconds = argv[++i];
        else if (arg == "--callgrind-program" && hasValue)
            options.callgrindProgram = argv[++i];
        else if (arg == "--callgrind-floor" && hasValue)
            options.callgrindFloor = argv[++i];
        else if (list && arg.rfind("--", 0) != 0)
            list->push_back(arg);
        else
            return false;
    }
    return !options.json.empty() && !options.program.empty() && !options.floor.empty();
}

} // namespace

int main(int argc, char **argv)
{
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: %s --json OUT --seconds S --program FILE... --floor FILE... "
                     "--callgrind-program FILE --callgrind-floor FILE\n",
                     argv[0]);
        return 2;
    }
    const std::vector<Figures> program = readAll(options.program);
    const std::vector<Figures> floor = readAll(options.floor);
    const double programIpf = instructionsPerFrame(readFigures(options.callgrindProgram));
    const double floorIpf = instructionsPerFrame(readFigures(options.callgrindFloor));
    const std::vector<Verdict> verdicts = judge(program, floor, programIpf, floorIpf);
    printTable(program, floor, programIpf, floorIpf);
    printVerdicts(verdicts);
    writeJson(options, program, floor, programIpf, floorIpf, verdicts);
    std::printf("\nfigures written to %s\n", options.json.c_str());
    return 0;
}
