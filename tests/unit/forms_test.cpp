// The About and TV-out windows as data: what each page shows and opens, and what OK stores.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "app/about_form.h"
#include "app/tvout_form.h"
#include "fakes.h"

namespace hzwk::test {
namespace {

// Every page shows its whole text, overwriting the last page's (empty lines included); a line
// naming a mail address or a site opens it, the donation line the donation address, no other.
TEST(AboutForm, EachPageShowsItsTextAndItsNamedAddressesOpen) {
    const AboutPeople& p = kAboutPeople;
    const std::string texts[] = {
        std::string("Contact Info:|Bug Reports - ") + p.bugMail + "|" + p.author1Name + " - " + p.author1Mail + "|" +
            p.author2Name + " - " + p.author2Mail + "||",
        std::string("Links:|Hertzwerk - ") + p.siteHost + "|NVidia - " + p.nvidiaHost + "|||",
        std::string("Credits:|") + p.credit1 + "|" + p.credit2 + "|||",
        std::string("Donation Info:|If you would like to support|Hertzwerk, please do so by|") + p.donationService +
            " donations. Your help is|appreciated.|Click here to donate",
    };
    FakeOs os;
    AboutForm form(os);
    form.Load();
    for (int page : {1, 4, 3, 2, 1, 0, 5, -1}) {
        form.PageClick(page);
        const int shown = page >= 1 && page <= 4 ? page : 1;  // outside 1 to 4 nothing changes
        EXPECT_EQ(form.AboutPage(), shown);
        std::string text = form.heading;
        for (const auto& line : form.lines) text += "|" + line;
        EXPECT_EQ(text, texts[shown - 1]);
        for (int line = -1; line <= kAboutLineCount; ++line) {
            os.opened.clear();
            form.LineClick(line);
            std::vector<std::string> expected;
            const std::string said = line >= 0 && line < kAboutLineCount ? form.lines[size_t(line)] : "";
            const std::string named = said.size() > 3 ? said.substr(said.find(" - ") + 3) : "";
            for (const char* mail : {p.bugMail, p.author1Mail, p.author2Mail, p.siteHost, p.nvidiaHost})
                if (named == mail) expected = {(std::strchr(mail, '@') ? "mailto:" : "http://") + std::string(mail)};
            if (said == "Click here to donate") expected = {p.donationAddress};
            EXPECT_EQ(os.opened, expected) << "page " << shown << " line " << line;
        }
    }
}

// OK refuses two equal pairs, and a pair that counts (neither text empty or "0") unless both are
// whole numbers from 1 to 9999; otherwise it stores each pair that counts and empties the other.
TEST(TvOutForm, OkStoresWhatCountsOverRandomInput) {
    const char* texts[] = {"", "0", "640", "480", "800", "600", "1", "9999", "12345", "0480", "6x", "-1"};
    const auto number = [](const std::string& t) {
        return !t.empty() && t.size() <= 4 && t.find_first_not_of("0123456789") == std::string::npos &&
               t.find_first_not_of('0') != std::string::npos;
    };
    std::mt19937 rng(1904);
    for (int run = 0; run < 300; ++run) {
        Machine m("NVIDIA GeForce4 Ti 4600", 3090, false);
        m.rules.SaveStringValue("SOFTWARE\\HZWK", "ResW1", "old");
        TvOutForm f(m.rules, m.prompt);
        f.Load();
        EXPECT_EQ(f.txtW1 + f.txtH1, "old");
        const std::string w1 = texts[rng() % 12], h1 = texts[rng() % 12], w2 = texts[rng() % 12], h2 = texts[rng() % 12];
        f.txtW1 = w1, f.txtH1 = h1, f.txtW2 = w2, f.txtH2 = h2;
        const bool counts1 = !w1.empty() && w1 != "0" && !h1.empty() && h1 != "0";
        const bool counts2 = !w2.empty() && w2 != "0" && !h2.empty() && h2 != "0";
        const char* refusal = w1 == w2 && h1 == h2 ? "Please add 2 different resolutions"
                              : (counts1 && !(number(w1) && number(h1))) || (counts2 && !(number(w2) && number(h2)))
                                  ? "Widths and heights must be whole numbers from 1 to 9999."
                                  : nullptr;
        const std::string stored = refusal ? "old<absent><absent><absent>"
                                           : (counts1 ? w1 + h1 : "") + (counts2 ? w2 + h2 : "");
        SCOPED_TRACE(w1 + "x" + h1 + ", " + w2 + "x" + h2);
        EXPECT_EQ(f.CmdDoneClick(), refusal == nullptr);
        EXPECT_EQ(m.prompt.shown, (refusal ? Boxes{{refusal, Icon::Information}} : Boxes{}));
        EXPECT_EQ(m.Setting("ResW1") + m.Setting("ResH1") + m.Setting("ResW2") + m.Setting("ResH2"), stored);
        if (HasFailure()) break;
    }
    Machine m("NVIDIA GeForce4 Ti 4600", 3090, false);
    TvOutForm f(m.rules, m.prompt);
    f.Command3Click();  // fills the boxes only
    EXPECT_EQ(f.txtW1 + "x" + f.txtH1 + " " + f.txtW2 + "x" + f.txtH2 + m.Setting("ResW1"), "800x600 640x480<absent>");
    f.Command1Click();
    EXPECT_EQ(f.txtW1 + f.txtH1 + f.txtW2, "640");
    f.Command2Click();
    EXPECT_EQ(f.txtW2 + f.txtH2, "");
}

}  // namespace
}  // namespace hzwk::test
