// The About window's pages and which of their lines open which address.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "fakes.h"
#include "app/about_form.h"

namespace hzwk {
namespace {

using test::FakeOs;

std::string S(const char* text) { return text; }

struct PageCase {
    int page;
    std::string heading;
    std::array<std::string, kAboutLineCount> lines;
};

std::vector<PageCase> ExpectedPages() {
    const AboutPeople& p = kAboutPeople;
    return {
        {1, "Contact Info:",
         {"Bug Reports - " + S(p.bugMail), S(p.author1Name) + " - " + p.author1Mail,
          S(p.author2Name) + " - " + p.author2Mail, "", ""}},
        {2, "Links:", {"Hertzwerk - " + S(p.siteHost), "NVidia - " + S(p.nvidiaHost), "", "", ""}},
        {3, "Credits:", {p.credit1, p.credit2, "", "", ""}},
        {4, "Donation Info:",
         {"If you would like to support", "Hertzwerk, please do so by",
          S(p.donationService) + " donations. Your help is", "appreciated.",
          "Click here to donate"}},
    };
}

TEST(AboutForm, LoadShowsContactPageAndEachButtonItsWholePage) {
    FakeOs os;
    AboutForm form(os);
    form.Load();
    auto pages = ExpectedPages();
    EXPECT_EQ(form.lines, pages[0].lines);
    // From the last page back to the first, so every line is overwritten, empty ones
    // included (Contact after Donation must clear Label5 and Label6).
    for (auto it = pages.rbegin(); it != pages.rend(); ++it) {
        SCOPED_TRACE(it->page);
        form.PageClick(it->page);
        EXPECT_EQ(form.AboutPage(), it->page);
        EXPECT_EQ(form.heading, it->heading);
        EXPECT_EQ(form.lines, it->lines);
    }
    for (int bad : {0, 5, -1}) form.PageClick(bad);  // outside 1 to 4: nothing changes
    EXPECT_EQ(form.AboutPage(), 1);
    EXPECT_TRUE(os.opened.empty());
}

TEST(AboutForm, OnlyTheListedLinesOpenAddresses) {
    const AboutPeople& p = kAboutPeople;
    EXPECT_EQ(S(p.nvidiaHost), "www.nvidia.com");
    // page, line (0 = Label2) -> address; every other pair opens nothing.
    const std::map<std::pair<int, int>, std::string> links = {
        {{1, 0}, "mailto:" + S(p.bugMail)},
        {{1, 1}, "mailto:" + S(p.author1Mail)},
        {{1, 2}, "mailto:" + S(p.author2Mail)},
        {{2, 0}, "http://" + S(p.siteHost)},
        {{2, 1}, "http://" + S(p.nvidiaHost)},
        {{4, 4}, S(p.donationAddress)},
    };
    for (int page = 1; page <= kAboutPageCount; ++page) {
        for (int line = -1; line <= kAboutLineCount; ++line) {
            SCOPED_TRACE(testing::Message() << "page " << page << " line " << line);
            FakeOs os;
            AboutForm form(os);
            form.Load();
            form.PageClick(page);
            form.LineClick(line);
            auto it = links.find({page, line});
            if (it == links.end()) {
                EXPECT_TRUE(os.opened.empty());
            } else {
                ASSERT_EQ(os.opened.size(), 1u);
                EXPECT_EQ(os.opened[0], it->second);
            }
        }
    }
}

}  // namespace
}  // namespace hzwk
