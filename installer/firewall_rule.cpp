#include "installer/firewall_rule.h"

#include <windows.h>
#include <netfw.h>
#include <oleauto.h>

#include <cstdio>

#include "foundation/com_ptr.h"
#include "foundation/process.h"
#include "foundation/product.h"
#include "foundation/scramble.h"

namespace {

constexpr LONG kPanelPortNumber = 6689;
constexpr LONG kAllProfiles = 0x7FFFFFFF;
constexpr DWORD kAfterFallbackMs = 200;

class Bstr {
public:
    explicit Bstr(const std::wstring& text) : b_(::SysAllocString(text.c_str())) {}
    ~Bstr() { ::SysFreeString(b_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return b_; }

private:
    BSTR b_;
};

std::wstring RuleNameWide() { return std::wstring(kProductNameWide) + L"面板端口"; }

// The current profile lists port 6689 over TCP among its open ports, enabled.
bool PortIsOpen() {
    ComPtr<INetFwMgr> manager;
    if (FAILED(::CoCreateInstance(__uuidof(NetFwMgr), nullptr, CLSCTX_INPROC_SERVER, __uuidof(INetFwMgr),
                                  manager.PutVoid())))
        return false;
    ComPtr<INetFwPolicy> policy;
    ComPtr<INetFwProfile> profile;
    ComPtr<INetFwOpenPorts> ports;
    ComPtr<INetFwOpenPort> port;
    if (FAILED(manager->get_LocalPolicy(policy.Put())) || FAILED(policy->get_CurrentProfile(profile.Put())) ||
        FAILED(profile->get_GloballyOpenPorts(ports.Put())) ||
        FAILED(ports->Item(kPanelPortNumber, NET_FW_IP_PROTOCOL_TCP, port.Put())) || !port)
        return false;
    VARIANT_BOOL enabled = VARIANT_FALSE;
    return SUCCEEDED(port->get_Enabled(&enabled)) && enabled == VARIANT_TRUE;
}

bool AddRule() {
    ComPtr<INetFwPolicy2> policy;
    HRESULT hr = ::CoCreateInstance(__uuidof(NetFwPolicy2), nullptr, CLSCTX_INPROC_SERVER, __uuidof(INetFwPolicy2),
                                    policy.PutVoid());
    if (FAILED(hr)) {
        std::printf("CoCreateInstance for INetFwPolicy2 failed: 0x%08lx\n", static_cast<unsigned long>(hr));
        return false;
    }
    ComPtr<INetFwRules> rules;
    ComPtr<INetFwRule> rule;
    if (FAILED(policy->get_Rules(rules.Put())) ||
        FAILED(::CoCreateInstance(__uuidof(NetFwRule), nullptr, CLSCTX_INPROC_SERVER, __uuidof(INetFwRule),
                                  rule.PutVoid())))
        return false;
    Bstr name(RuleNameWide()), port(L"6689");
    rule->put_Name(name.get());
    rule->put_Protocol(NET_FW_IP_PROTOCOL_TCP);
    rule->put_LocalPorts(port.get());
    rule->put_Profiles(kAllProfiles);
    rule->put_Enabled(VARIANT_TRUE);
    return SUCCEEDED(rules->Add(rule.Get()));
}

}  // namespace

std::string FirewallFallbackCommand() {
    return Unscrambled(scrambled::kFirewallAddRulePrefix) + "\"" + ProductName() + ToGbk(L"面板端口") +
           "\" action=allow protocol=TCP dir=in localport=" + kPanelPort;
}

FirewallOutcome OpenPanelPortInFirewall() {
    FirewallOutcome outcome;
    ComInit com(COINIT_APARTMENTTHREADED);
    if (com.Usable()) {
        outcome.portWasOpen = PortIsOpen();
        if (!outcome.portWasOpen) outcome.ruleAdded = AddRule();
    }
    if (!outcome.portWasOpen && (!outcome.ruleAdded || !PortIsOpen())) {
        RunThroughInterpreter(FirewallFallbackCommand());
        ::Sleep(kAfterFallbackMs);
        outcome.fallbackRan = true;
    }
    return outcome;
}
