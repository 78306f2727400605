#include "tools/VaultReport.h"

#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "tools/TestItem.h"
#include "vault/VaultFixture.h"

namespace zorvan {
namespace {

constexpr double kToday = 46000.0;
constexpr int kDays = 14;
const std::string kStrong = "x7#Kq9!vLm2$Wp4@";

}  // namespace

void PrintTo(const VaultReport::Item& item, std::ostream* out) {
    *out << item.group << "/" << item.block << "/" << item.name;
}

namespace {

class VaultReportTest : public test::VaultFixture {
protected:
    // Saved in reverse, so that each group lists its items in the order given.
    void SetUp() override {
        struct Given {
            std::string group, name, pass;
            std::int32_t expire;
            double date;
        };
        const Given given[] = {
            {"G1", "empty", "", 0, 0},
            {"G1", "weak", "1234", 0, 0},
            {"G1", "shared", kStrong, 0, 0},
            {"G1", "expired", "Zq8@rT5!mW3#kP6$", 1, kToday - 0.5},
            {"G1", "no-expiry-bit", "Hn4&dS8*eR2%uY7!", 2, kToday - 100},
            {"G2", "weak-again", "1234", 0, 0},
            {"G2", "shared-again", kStrong, 1, kToday},
            {"G2", "soon", "Bv6^gJ1(oL9)iT3_", 1, kToday + kDays - 0.1},
            {"G2", "not-yet", "Wc5=fK2+hN8-aQ4~", 1, kToday + kDays},
        };
        vault_.AddGroup("G1");
        vault_.AddGroup("G2");
        for (auto it = std::rbegin(given); it != std::rend(given); ++it) {
            const ItemRecord item =
                test::Item(it->name, "", it->pass, "", "", it->expire, it->date);
            blocks_[it->name] = vault_.SaveItem(it->group, item, kNoBlock);
        }
    }

    VaultReport::Item Named(const std::string& group, const std::string& name) {
        return {group, blocks_.at(name), name};
    }

    std::map<std::string, BlockNumber> blocks_;
};

TEST_F(VaultReportTest, ListsWeakReusedExpiredAndSoonExpiringItemsInVaultOrder) {
    std::vector<std::pair<std::size_t, std::size_t>> progress;
    const VaultReport report(vault_, kToday, kDays, [&](std::size_t done, std::size_t total) {
        progress.emplace_back(done, total);
    });
    EXPECT_EQ(progress, (std::vector<std::pair<std::size_t, std::size_t>>{{9, 9}}));
    using Items = std::vector<VaultReport::Item>;
    EXPECT_EQ(report.weak(),
              (Items{Named("G1", "empty"), Named("G1", "weak"), Named("G2", "weak-again")}));
    EXPECT_EQ(report.reused(),
              (std::vector<Items>{{Named("G1", "weak"), Named("G2", "weak-again")},
                                  {Named("G1", "shared"), Named("G2", "shared-again")}}));
    EXPECT_EQ(report.expired(), (Items{Named("G1", "expired")}));
    EXPECT_EQ(report.expiringSoon(), (Items{Named("G2", "shared-again"), Named("G2", "soon")}));
    EXPECT_EQ(report.unreadable(), 0u);
}

TEST_F(VaultReportTest, CountExpiryAgreesWithTheReportForEachWindow) {
    for (const int days : {0, 1, kDays, kDays + 1}) {
        const VaultReport report(vault_, kToday, days);
        const VaultReport::ExpiryCount count = VaultReport::CountExpiry(vault_, kToday, days);
        EXPECT_EQ(count.expired, report.expired().size()) << days;
        EXPECT_EQ(count.expiringSoon, report.expiringSoon().size()) << days;
    }
    EXPECT_EQ(VaultReport::CountExpiry(vault_, kToday, kDays + 1),
              (VaultReport::ExpiryCount{1, 3}));
    EXPECT_EQ(VaultReport::CountExpiry(vault_, kToday, 0), (VaultReport::ExpiryCount{1, 0}));
}

}  // namespace
}  // namespace zorvan
