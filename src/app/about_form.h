// The About window (frmAbout) as data: which page it shows, the heading and five
// lines of that page, and which lines open which address.
#pragma once

#include <array>
#include <string>

#include "os/os.h"

namespace hzwk {

inline constexpr int kAboutPageCount = 4;  // 1 contact, 2 links, 3 credits, 4 donation
inline constexpr int kAboutLineCount = 5;  // Label2..Label6

// The program's own people and places, in one table.
struct AboutPeople {
    const char* bugMail;
    const char* author1Name;
    const char* author1Mail;
    const char* author2Name;
    const char* author2Mail;
    const char* siteHost;
    const char* nvidiaHost;
    const char* credit1;  // a person and, in parentheses, their group
    const char* credit2;  // a person and, in parentheses, another program
    const char* donationService;
    const char* donationAddress;
};
extern const AboutPeople kAboutPeople;

class AboutForm {
public:
    explicit AboutForm(Os& os) : os_(os) {}

    void Load();                // page 1
    void PageClick(int page);   // Command2..Command5: pages 1..4
    void LineClick(int line);   // Label2..Label6 as 0..4: opens the line's address, if any

    int AboutPage() const { return page_; }
    std::string heading;                                // Label1
    std::array<std::string, kAboutLineCount> lines;     // Label2..Label6

    // The address a line opens on a page; empty when the line opens nothing there.
    static std::string AddressFor(int page, int line);

private:
    void ShowPage(int page);

    Os& os_;
    int page_ = 1;
};

}  // namespace hzwk
