// Full decode of every frame (disposal and mask included): Pictor against
// giflib's DGifSlurp followed by the same compositing, on pictures encoded
// in memory by giflib. Prints megapixels per second per class (the best of
// several rounds) and the smallest ratio as "speedup vs giflib: X.XX".
#include "support/GifRecipe.h"
#include "support/GiflibReference.h"
#include "support/GiflibWriter.h"

#include "pictor.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

struct Picture {
    std::string name;
    std::vector<uint8_t> gif;
    double megapixels = 0; // frame pixels decoded per pass
};

GifRecipe photo()
{
    std::mt19937 rng(1);
    GifRecipe s;
    s.width = 1024;
    s.height = 768;
    s.globalPalette = gifspec::palette(8, rng);
    s.frames.push_back(gifspec::frame(0, 0, 1024, 768, gifspec::photo(1024, 768, rng)));
    return s;
}

// Window-like graphics: panels, bars, striped areas and lines in 16 colours.
GifRecipe flatGraphics()
{
    std::mt19937 rng(2);
    const unsigned w = 1024, h = 768;
    std::vector<uint8_t> pixels(size_t(w) * h, 7);
    for (int i = 0; i < 60; ++i) {
        const unsigned left = unsigned(rng() % w), top = unsigned(rng() % h);
        const unsigned right = std::min<unsigned>(w, left + 20 + unsigned(rng() % 300));
        const unsigned bottom = std::min<unsigned>(h, top + 10 + unsigned(rng() % 200));
        const uint8_t colour = uint8_t(rng() % 16);
        const unsigned style = rng() % 4;
        for (unsigned y = top; y < bottom; ++y)
            for (unsigned x = left; x < right; ++x) {
                uint8_t c = colour;
                if (style == 1 && (y - top) % 12 == 0)
                    c = 0; // list lines
                if (style == 2 && x == left)
                    c = 15; // borders
                pixels[size_t(y) * w + x] = c;
            }
    }
    GifRecipe s;
    s.width = w;
    s.height = h;
    s.globalPalette = gifspec::palette(4, rng);
    s.frames.push_back(gifspec::frame(0, 0, w, h, std::move(pixels)));
    return s;
}

GifRecipe interlaced()
{
    std::mt19937 rng(3);
    const unsigned w = 800, h = 600;
    std::vector<uint8_t> pixels(size_t(w) * h);
    for (unsigned y = 0; y < h; ++y)
        for (unsigned x = 0; x < w; ++x)
            pixels[size_t(y) * w + x] = uint8_t(((x / 3 + y / 5) % 120) + (rng() % 8 == 0 ? rng() % 16 : 0));
    GifRecipe s;
    s.width = w;
    s.height = h;
    s.globalPalette = gifspec::palette(8, rng);
    auto f = gifspec::frame(0, 0, w, h, std::move(pixels));
    f.interlaced = true;
    s.frames.push_back(std::move(f));
    return s;
}

// A busy indicator: 240 frames of a moving, partly transparent sprite on a
// small screen, with the three disposal methods in turn.
GifRecipe uiAnimation()
{
    std::mt19937 rng(4);
    GifRecipe s;
    s.width = 96;
    s.height = 32;
    s.background = 0;
    s.globalPalette = gifspec::palette(4, rng);
    for (unsigned i = 0; i < 240; ++i) {
        const unsigned fw = 28, fh = 24;
        std::vector<uint8_t> pixels(size_t(fw) * fh);
        for (unsigned y = 0; y < fh; ++y)
            for (unsigned x = 0; x < fw; ++x) {
                const int dx = int(x) - 14, dy = int(y) - 12;
                const int r2 = dx * dx + dy * dy;
                pixels[size_t(y) * fw + x] = r2 > 140 ? 0 : uint8_t(1 + ((x + y + i) / 3) % 15);
            }
        auto f = gifspec::frame((i * 3) % (96 - fw), (i % 8), fw, fh, std::move(pixels));
        f.control = true;
        f.transparent = 0;
        f.disposal = 1 + i % 3;
        f.delay = 4;
        s.frames.push_back(std::move(f));
    }
    return s;
}

double frameMegapixels(const GifRecipe &s)
{
    double pixels = 0;
    for (const auto &f : s.frames)
        pixels += double(f.width) * f.height;
    return pixels / 1e6;
}

std::vector<Picture> &pictures()
{
    static std::vector<Picture> all = [] {
        std::vector<Picture> list;
        for (auto [name, recipe] : {std::pair{"photo", photo()}, std::pair{"flat", flatGraphics()},
                                  std::pair{"interlaced", interlaced()}, std::pair{"animation", uiAnimation()}})
            list.push_back({name, encodeWithGiflib(recipe), frameMegapixels(recipe)});
        return list;
    }();
    return all;
}

void decodeWithPictor(benchmark::State &state, const Picture *p)
{
    for (auto _ : state) {
        GIFDECINFO *record = CreateDecoder();
        GifSetSource(record, p->gif.data(), p->gif.size());
        unsigned frames = 0;
        while (GifParseControl(record) != PICTOR_END_OF_PICTURE)
            ++frames;
        benchmark::DoNotOptimize(record->Bits);
        benchmark::DoNotOptimize(frames);
        ReleaseDecoder(record);
    }
    state.counters["MP/s"] = benchmark::Counter(p->megapixels, benchmark::Counter::kIsIterationInvariantRate);
}

void decodeWithGiflib(benchmark::State &state, const Picture *p)
{
    for (auto _ : state) {
        GiflibReference reference;
        if (!reference.load(p->gif.data(), p->gif.size())) {
            state.SkipWithError("giflib failed");
            break;
        }
        for (int i = 0; i < reference.frameCount(); ++i)
            reference.composite(i);
        benchmark::DoNotOptimize(reference.canvas().data());
    }
    state.counters["MP/s"] = benchmark::Counter(p->megapixels, benchmark::Counter::kIsIterationInvariantRate);
}

// Console output as usual, and the best MP/s of each benchmark's rounds
// kept for the summary: on a shared machine the fastest round is the one
// least disturbed by other work.
class RateCollector : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration)
                continue;
            auto it = run.counters.find("MP/s");
            if (it == run.counters.end())
                continue;
            double &best = rates[run.run_name.function_name];
            best = std::max(best, it->second.value);
        }
    }
    std::map<std::string, double> rates;
};

constexpr int kRounds = 5;
constexpr double kMinSecondsPerRound = 0.3;

} // namespace

int main(int argc, char **argv)
{
    for (const Picture &p : pictures()) {
        if (p.gif.empty()) {
            fprintf(stderr, "giflib could not encode %s\n", p.name.c_str());
            return 1;
        }
        // The two decoders take turns, so that both meet the same load from
        // whatever else runs on the machine.
        using Decode = void (*)(benchmark::State &, const Picture *);
        const std::pair<std::string, Decode> decoders[] = {{"pictor/", decodeWithPictor}, {"giflib/", decodeWithGiflib}};
        for (int round = 0; round < kRounds; ++round)
            for (const auto &[prefix, decode] : decoders)
                benchmark::RegisterBenchmark((prefix + p.name).c_str(), decode, &p)
                    ->Unit(benchmark::kMillisecond)
                    ->MinTime(kMinSecondsPerRound);
    }
    benchmark::Initialize(&argc, argv);
    RateCollector reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    double smallest = 0;
    bool any = false;
    for (const Picture &p : pictures()) {
        const auto ours = reporter.rates.find("pictor/" + p.name);
        const auto theirs = reporter.rates.find("giflib/" + p.name);
        if (ours == reporter.rates.end() || theirs == reporter.rates.end() || theirs->second <= 0)
            continue;
        const double ratio = ours->second / theirs->second;
        printf("%-11s pictor %8.1f MP/s  giflib %8.1f MP/s  ratio %.2f\n", p.name.c_str(), ours->second,
               theirs->second, ratio);
        smallest = any ? std::min(smallest, ratio) : ratio;
        any = true;
    }
    if (any)
        printf("speedup vs giflib: %.2f\n", smallest);
    return 0;
}
