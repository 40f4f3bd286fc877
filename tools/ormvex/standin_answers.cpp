#include "tools/ormvex/standin_answers.h"

#include <windows.h>

#include <vector>

#include "foundation/text.h"

namespace {

constexpr int kHighestPort = 65535;

std::string Answer(bool done, const std::string& data) {
    return std::string("<status>") + (done ? "1" : "0") + "</status><data>" + data + "</data>";
}

std::string Element(const char* tag, const std::string& value) {
    return std::string("<") + tag + ">" + value + "</" + tag + ">";
}

std::string ShowMe(const CStandinSettings& settings) {
    std::string record = Element("ver", settings.Text("version"));
    const std::string outer = settings.Text("outerurl");
    if (!outer.empty()) record += Element("outerurl", outer);
    record += Element("localurl", settings.LocalUrl()) + Element("user", settings.Text("user")) +
              Element("pass", settings.Text("pass"));
    return Answer(true, record);
}

std::string GetInfo(const CStandinSettings& settings) {
    return Answer(true, Element("localurl", settings.LocalUrl()) + Element("outerurl", settings.Text("outerurl")) +
                            Element("onlylocal", settings.Text("onlylocal")));
}

std::string GetAuth(const CStandinSettings& settings) {
    // The status itself is the answer: "0" when an uninstall needs no code.
    return std::string("<status>") + (settings.Number("uninstallcode") ? "1" : "0") + "</status><data></data>";
}

bool CodeMatches(const CStandinSettings& settings, const std::string& parameters) {
    const std::string code = TextBetween(parameters, "<softpass>", "</softpass>");
    return !code.empty() && code == settings.Text("authcode");
}

std::string AddUser(const CStandinSettings& settings, const std::string& parameters) {
    if (!CodeMatches(settings, parameters)) return Answer(false, ToGbk(L"授权码错误"));
    const int admins = settings.Number("admins") + 1;
    settings.Set("admins", IntText(admins));
    return Answer(true, ToGbk(L"管理员添加成功，账号：orm_admin") + IntText(admins));
}

std::string SetInfo(const CStandinSettings& settings, const std::string& parameters) {
    if (TextBetween(parameters, "<seton>", "</seton>") == "1") {
        settings.Set("on", "1");
        UpdateCacheIni(settings);
        return Answer(true, ToGbk(L"系统已开启"));
    }
    if (TextBetween(parameters, "<setoff>", "</setoff>") == "1") {
        if (!CodeMatches(settings, parameters)) return Answer(false, ToGbk(L"授权码错误"));
        settings.Set("on", "0");
        UpdateCacheIni(settings);
        return Answer(true, ToGbk(L"系统已临时关闭"));
    }
    if (parameters.find("<onlylocal>") != std::string::npos) {
        const std::string value = TextBetween(parameters, "<onlylocal>", "</onlylocal>");
        if (value != "0" && value != "1") return Answer(false, ToGbk(L"参数错误"));
        settings.Set("onlylocal", value);
        return Answer(true, ToGbk(L"访问设置修改成功"));
    }
    if (TextBetween(parameters, "<update>", "</update>") == "1") return Answer(true, ToGbk(L"准备更新"));
    return Answer(false, ToGbk(L"参数错误"));
}

std::string SetPort(const CStandinSettings& settings, const std::string& parameters) {
    const std::string port = TextBetween(parameters, "<port>", "</port>");
    const bool valid = !port.empty() && port.size() <= 5 && IsDigitsText(port) && std::stoi(port) >= 1 &&
                       std::stoi(port) <= kHighestPort;
    if (!valid) return Answer(false, ToGbk(L"端口号错误"));
    settings.Set("port", IntText(std::stoi(port)));
    return Answer(true, ToGbk(L"端口修改成功"));
}

// "refuse" lists command words, separated by commas, that fail without effect.
bool IsRefused(const CStandinSettings& settings, const std::string& word) {
    std::vector<std::string> refused;
    SplitText(settings.TestSwitch("refuse"), ",", 1, refused);
    for (const std::string& entry : refused)
        if (TrimSpace(entry) == word) return true;
    return false;
}

}  // namespace

std::string AnswerRequest(const CStandinSettings& settings, const std::string& request) {
    const std::string word = TextBetween(request, "<cmd>", "</cmd>");
    const std::size_t end = request.find("</cmd>");
    const std::string parameters = end == std::string::npos ? std::string() : request.substr(end + 6);
    if (IsRefused(settings, word)) return Answer(false, ToGbk(L"操作未完成"));
    if (word == "showme") return ShowMe(settings);
    if (word == "geturl") return Answer(true, Element("localurl", settings.LocalUrl()));
    if (word == "getport") return Answer(true, Element("port", settings.Text("port")));
    if (word == "getinfo") return GetInfo(settings);
    if (word == "getauth") return GetAuth(settings);
    if (word == "adduser") return AddUser(settings, parameters);
    if (word == "setinfo") return SetInfo(settings, parameters);
    if (word == "setport") return SetPort(settings, parameters);
    return Answer(false, ToGbk(L"方法参数错误"));
}

void UpdateCacheIni(const CStandinSettings& settings) {
    const std::string file = settings.Folder() + "config\\cache.ini";
    std::string unusual = settings.Text("unusual");
    if (unusual.empty()) unusual = settings.Number("on") ? "" : "1";
    const std::pair<const char*, std::string> wanted[] = {{"unusual", unusual},
                                                          {"curr_version", settings.Text("version")}};
    for (const auto& [key, value] : wanted) {
        char current[256] = {};
        ::GetPrivateProfileStringA("ORMVEX", key, "\x01", current, sizeof current, file.c_str());
        if (value != current) ::WritePrivateProfileStringA("ORMVEX", key, value.c_str(), file.c_str());
    }
}
