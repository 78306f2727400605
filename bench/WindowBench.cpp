// The main window over large vaults: opening it after the login, switching groups,
// and its peak memory. Built with the UI, run by hand:
//   build/default/bench/zorvan_window_bench
// Names are <operation>/<layout>/<items>; "Time" is wall-clock time, which is what a
// user waits (the group load also writes the settings file), "CPU" the process's own.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <cstdio>
#include <memory>

#include "support/ScaleVault.h"
#include "ui/Session.h"
#include "ui/Text.h"
#include "ui/UiServices.h"
#include "ui/main/ListInteractions.h"
#include "ui/main/frmMain.h"

namespace zorvan {
namespace {

using bench::Layout;
using bench::ScaleVault;

// The start-up shows the group named last, and a group switch starts from an empty
// group. The vaults are built in child processes before Qt starts any thread.
constexpr bench::VaultExtras kWindowVault{
    .emptyGroup = true, .lastGroupSetting = true, .buildInChild = true};

const ScaleVault& WindowVault(Layout layout, int items) {
    return ScaleVault::Get(items, layout, kWindowVault);
}

// What the password dialog leaves behind when it accepts: the vault open.
std::unique_ptr<Session> LoggedIn(const ScaleVault& vault) {
    auto session = std::make_unique<Session>(vault.paths());
    session->vault.UseKeyOf(vault.password());
    session->blnPassOK = true;
    return session;
}

// From an accepted password to the shown main window with the last group listed,
// as the start-up opens it, and painted once.
void BM_Startup(benchmark::State& state, Layout layout, int items) {
    const ScaleVault& vault = WindowVault(layout, items);
    QtUiServices ui;
    for (auto _ : state) {
        state.PauseTiming();
        const auto session = LoggedIn(vault);
        state.ResumeTiming();
        auto main = std::make_unique<frmMain>(*session, ui);
        main->Form_Load();
        main->show();
        QApplication::processEvents();
        state.PauseTiming();
        if (main->groupSelector()->currentText() != ToQ(vault.biggestGroup())) {
            state.SkipWithError("the last group was not loaded");
        }
        main.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["peak_rss_mb"] = bench::MaxRssMiB();
}

// The main window as the start-up leaves it: loaded, shown and painted once.
struct ShownWindow {
    explicit ShownWindow(const ScaleVault& vault) : session(LoggedIn(vault)), main(*session, ui) {
        main.Form_Load();
        main.show();
        QApplication::processEvents();
    }

    QtUiServices ui;
    std::unique_ptr<Session> session;
    frmMain main;
};

// Choosing a group in the selector until its rows are shown and painted: the
// biggest group of the vault, chosen from the group after it.
void BM_GroupSwitch(benchmark::State& state, Layout layout, int items) {
    const ScaleVault& vault = WindowVault(layout, items);
    ShownWindow window(vault);
    QComboBox* selector = window.main.groupSelector();
    const int target = selector->findText(ToQ(vault.biggestGroup()));
    for (auto _ : state) {
        state.PauseTiming();
        selector->setCurrentIndex(target + 1);
        QApplication::processEvents();
        state.ResumeTiming();
        selector->setCurrentIndex(target);
        QApplication::processEvents();
    }
    state.counters["peak_rss_mb"] = bench::MaxRssMiB();
}

// A click on the name column's heading with the biggest group shown: the rows are
// sorted, ascending and descending in turn, and painted.
void BM_Sort(benchmark::State& state, Layout layout, int items) {
    ShownWindow window(WindowVault(layout, items));
    for (auto _ : state) {
        window.main.listInteractions().lvwMain_ColumnClick(0);
        QApplication::processEvents();
    }
}

}  // namespace
}  // namespace zorvan

int main(int argc, char** argv) {
    using namespace zorvan;
    // The benchmark needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform's notes about window hints would drown the table.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) {
            std::fprintf(stderr, "%s\n", qPrintable(text));
        }
    });
    benchmark::Initialize(&argc, argv);
    for (const int items : bench::kScaleSizes) {
        for (const Layout layout : bench::kLayouts) {
            WindowVault(layout, items);
        }
    }
    QApplication app(argc, argv);
    for (const int items : bench::kScaleSizes) {
        for (const Layout layout : bench::kLayouts) {
            benchmark::RegisterBenchmark(bench::BenchName("startup", layout, items).c_str(),
                                         BM_Startup, layout, items)
                ->Unit(benchmark::kMillisecond);
        }
    }
    for (const int items : bench::kScaleSizes) {
        for (const Layout layout : bench::kLayouts) {
            benchmark::RegisterBenchmark(bench::BenchName("group_switch", layout, items).c_str(),
                                         BM_GroupSwitch, layout, items)
                ->Unit(benchmark::kMillisecond);
        }
    }
    for (const int items : bench::kScaleSizes) {
        for (const Layout layout : bench::kLayouts) {
            benchmark::RegisterBenchmark(bench::BenchName("sort", layout, items).c_str(), BM_Sort,
                                         layout, items)
                ->Unit(benchmark::kMillisecond);
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
