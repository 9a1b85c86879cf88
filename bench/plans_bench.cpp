// Plan store timings with a file of 5000 plans of each kind: how long
// LoadPlans takes to read them all, and BuildTodayPlans to pick today's
// (the runner does both at start and at each change of day), plus the
// editor's rewrite of one full section.

#include "bench/BenchStats.h"
#include "core/plans/CInfoPlan.h"
#include "core/plans/LocalTime.h"
#include "core/plans/PlanFormat.h"
#include "core/plans/PlanPageModel.h"
#include "core/settings/ProfileFile.h"
#include "core/util/Console.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace omnar;
using namespace omnar::plans;
using namespace omnar::bench;
using namespace std::chrono;

namespace {

constexpr int kPlansPerKind = 5000;
constexpr int kRounds = 15;

std::string timeText(int i)
{
    const int s = (i * 17) % 86400;
    return std::to_string(s / 3600) + ":" + std::to_string(s / 60 % 60) + ":" + std::to_string(s % 60);
}

void writePlanFile(const std::string& path)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "[CONNECT]\nConnectFlag=0\n[PLANCOUNT]\n";
    for (PlanKind kind : kPlanKinds)
        out << countKey(kind) << "=" << kPlansPerKind << "\n";
    for (PlanKind kind : kPlanKinds) {
        out << "[" << sectionName(kind) << "]\n";
        for (int i = 0; i < kPlansPerKind; ++i) {
            out << "Time" << i << "=";
            switch (kind) {
            case PlanKind::Day: break;
            case PlanKind::Week: out << i % 7 << ","; break;
            case PlanKind::Month: out << (i % 31 < 9 ? "0" : "") << i % 31 + 1 << ","; break;
            case PlanKind::Once: out << 2024 + i % 3 << "-" << i % 12 + 1 << "-" << i % 28 + 1 << ","; break;
            }
            out << timeText(i) << "," << i % 8 << "\n";
        }
    }
}

template <typename F>
Stats measure(F&& f)
{
    std::vector<double> ms;
    for (int i = 0; i < kRounds; ++i) {
        const auto t0 = steady_clock::now();
        f();
        ms.push_back(duration<double, std::milli>(steady_clock::now() - t0).count());
    }
    return stats(ms);
}

} // namespace

int main()
{
    util::setConsoleSink([](std::string_view) {});
    std::string folder = (std::filesystem::temp_directory_path() / "omnar-plans-bench-XXXXXX").string();
    if (!::mkdtemp(folder.data())) {
        std::printf("cannot create a temporary folder\n");
        return 1;
    }
    const std::string path = folder + "/Planinfo.ini";
    writePlanFile(path);
    settings::ProfileFile file(path);
    CInfoPlan store(file);
    store.LoadPlanCounts();

    const auto load = measure([&] {
        store.ClearPlans();
        store.LoadPlans();
    });
    std::size_t loaded = 0;
    for (PlanKind kind : kPlanKinds)
        loaded += store.plans(kind).size();

    const auto now = MakeLocalTime(2024, 6, 12, 0, 0, 0).value_or(0);
    const auto build = measure([&] {
        store.todayPlans().clear();
        for (PlanKind kind : kPlanKinds)
            store.BuildTodayPlans(kind, now, false);
    });
    const std::size_t today = store.todayPlans().size();

    PlanPageModel page(PlanKind::Day, store);
    page.ApplyPlanOrder();
    const auto rewrite = measure([&] { page.RewriteSection(); });

    std::printf("file of %d plans per kind (%lld bytes)\n", kPlansPerKind,
                static_cast<long long>(std::filesystem::file_size(path)));
    std::printf("LoadPlans:                 median %8.2f ms, worst %8.2f ms (%zu plans)\n", load.median, load.worst, loaded);
    std::printf("BuildTodayPlans (4 kinds): median %8.2f ms, worst %8.2f ms (%zu due today)\n", build.median,
                build.worst, today);
    std::printf("RewriteSection (DAYTIME):  median %8.2f ms, worst %8.2f ms\n", rewrite.median, rewrite.worst);

    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    return 0;
}
