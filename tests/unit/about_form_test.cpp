// The About window's pages and which of their lines open which address.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "fakes.h"
#include "app/about_form.h"

namespace hzwk {
namespace {

std::string S(const char* text) { return text; }

TEST(AboutForm, EachButtonShowsItsWholePageWhoseListedLinesOpenTheirAddresses) {
    const AboutPeople& p = kAboutPeople;
    EXPECT_EQ(S(p.nvidiaHost), "www.nvidia.com");
    const struct {
        int page;
        std::string heading;
        std::array<std::string, kAboutLineCount> lines;
        std::map<int, std::string> links;  // line (0 = Label2) -> address; other lines open nothing
    } pages[] = {
        {1, "Contact Info:",
         {"Bug Reports - " + S(p.bugMail), S(p.author1Name) + " - " + p.author1Mail,
          S(p.author2Name) + " - " + p.author2Mail, "", ""},
         {{0, "mailto:" + S(p.bugMail)}, {1, "mailto:" + S(p.author1Mail)}, {2, "mailto:" + S(p.author2Mail)}}},
        {2, "Links:", {"Hertzwerk - " + S(p.siteHost), "NVidia - " + S(p.nvidiaHost), "", "", ""},
         {{0, "http://" + S(p.siteHost)}, {1, "http://" + S(p.nvidiaHost)}}},
        {3, "Credits:", {p.credit1, p.credit2, "", "", ""}, {}},
        {4, "Donation Info:",
         {"If you would like to support", "Hertzwerk, please do so by",
          S(p.donationService) + " donations. Your help is", "appreciated.", "Click here to donate"},
         {{4, S(p.donationAddress)}}},
    };
    test::FakeOs os;
    AboutForm form(os);
    form.Load();
    EXPECT_EQ(form.lines, pages[0].lines);
    // From the last page back to the first, so every line is overwritten, empty ones
    // included (Contact after Donation must clear Label5 and Label6).
    for (int i = kAboutPageCount - 1; i >= 0; --i) {
        SCOPED_TRACE(pages[i].page);
        form.PageClick(pages[i].page);
        EXPECT_EQ(form.AboutPage(), pages[i].page);
        EXPECT_EQ(form.heading, pages[i].heading);
        EXPECT_EQ(form.lines, pages[i].lines);
        for (int line = -1; line <= kAboutLineCount; ++line) {
            os.opened.clear();
            form.LineClick(line);
            const auto link = pages[i].links.find(line);
            EXPECT_EQ(os.opened, link == pages[i].links.end() ? std::vector<std::string>{}
                                                               : std::vector<std::string>{link->second})
                << "line " << line;
        }
    }
    for (int bad : {0, 5, -1}) form.PageClick(bad);  // outside 1 to 4: nothing changes
    EXPECT_EQ(form.AboutPage(), 1);
}

}  // namespace
}  // namespace hzwk
