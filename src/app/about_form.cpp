#include "app/about_form.h"

namespace hzwk {

// Addresses under the documentation domain example.org stand for the project's own.
const AboutPeople kAboutPeople = {
    "bugs@example.org",
    "Mara Lindqvist",
    "mara@example.org",
    "Tobias Reinholt",
    "tobias@example.org",
    "www.example.org",
    "www.nvidia.com",
    "Ines Albrecht (Pixel Forge)",
    "Kurt Haldane (ScreenBench)",
    "ExamplePay",
    "https://donate.example.org/cgi-bin/webscr?cmd=_xclick&business=donations@example.org"
    "&item_name=Hertzwerk&currency_code=USD&return=http://www.example.org/thanks.html",
};

namespace {

struct PageText {
    std::string heading;
    std::array<std::string, kAboutLineCount> lines;
};

PageText PageFor(int page) {
    const AboutPeople& p = kAboutPeople;
    switch (page) {
    case 1:
        return {"Contact Info:",
                {std::string("Bug Reports - ") + p.bugMail,
                 std::string(p.author1Name) + " - " + p.author1Mail,
                 std::string(p.author2Name) + " - " + p.author2Mail, "", ""}};
    case 2:
        return {"Links:",
                {std::string("Hertzwerk - ") + p.siteHost, std::string("NVidia - ") + p.nvidiaHost,
                 "", "", ""}};
    case 3:
        return {"Credits:", {p.credit1, p.credit2, "", "", ""}};
    default:
        return {"Donation Info:",
                {"If you would like to support", "Hertzwerk, please do so by",
                 std::string(p.donationService) + " donations. Your help is", "appreciated.",
                 "Click here to donate"}};
    }
}

}  // namespace

std::string AboutForm::AddressFor(int page, int line) {
    const AboutPeople& p = kAboutPeople;
    struct Link {
        int page, line;
        std::string address;
    };
    const Link links[] = {
        {1, 0, std::string("mailto:") + p.bugMail},
        {2, 0, std::string("http://") + p.siteHost},
        {1, 1, std::string("mailto:") + p.author1Mail},
        {2, 1, std::string("http://") + p.nvidiaHost},
        {1, 2, std::string("mailto:") + p.author2Mail},
        {4, 4, p.donationAddress},
    };
    for (const Link& link : links)
        if (link.page == page && link.line == line) return link.address;
    return std::string();
}

void AboutForm::ShowPage(int page) {
    PageText text = PageFor(page);
    heading = text.heading;
    lines = text.lines;
    page_ = page;
}

void AboutForm::Load() { ShowPage(1); }

void AboutForm::PageClick(int page) {
    if (page >= 1 && page <= kAboutPageCount) ShowPage(page);
}

void AboutForm::LineClick(int line) {
    std::string address = AddressFor(page_, line);
    if (!address.empty()) os_.OpenAddress(address);
}

}  // namespace hzwk
