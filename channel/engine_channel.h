// The channel state that one owner (the panel's main window, the installer) keeps
// for its exchanges with the running engine, and the exchange itself.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>

class CEngineChannel {
public:
    // installFolder: the installation that SendEngineCommand talks to; empty for
    // this program's own folder (the panel runs from the installation).
    explicit CEngineChannel(std::string installFolder = std::string());
    virtual ~CEngineChannel();
    CEngineChannel(const CEngineChannel&) = delete;
    CEngineChannel& operator=(const CEngineChannel&) = delete;

    // One full exchange: a stale answer file is removed, the request written, the
    // answer file awaited, opened and removed. installFolder empty: this program's
    // folder. False with "Orm·防入侵集群系统未运行" when the engine does not serve
    // the endpoint; false with an empty answer when no answer came in time.
    bool ExchangeWithEngine(const std::string& request, const std::string& installFolder, std::string& answer);

    // A command of the engine's table with its parameter elements; true only when
    // the answer's status is exactly "1". The answer is returned either way.
    bool SendEngineCommand(const std::string& word, const std::string& parameters, std::string& answer);

    // The channel key text, unscrambled on first use and kept.
    const std::string& ChannelKeyText();
    // 1 while SendEngineCommand waits for an answer; the status thread skips its
    // check meanwhile.
    int RequestBusy() const { return RequestBusy_.load(); }

private:
    void FillChannelKey();

    std::string installFolder_;
    std::string ChannelKey;
    CRITICAL_SECTION ChannelLock;
    std::atomic<int> RequestBusy_{0};
};
