// The query controller: the Get button, the answer cache and the completion of lookups.
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "lookup/firstofmany.h"
#include "tasks/nomvarathread.h"
#include "ui/nomvaradlg.h"

namespace {
constexpr int QUERY_BUFFER = 50;  // at most 49 characters and the terminating NUL
constexpr const char* WAIT_LINE = "Wait for answer...";
constexpr std::size_t LINES_ANNOUNCED = 3;  // a longer answer is told as these and how many more
}  // namespace

void CNomvaraDlg::EmptyResponseList() {
    while (m_responseList.GetCount() != 0)
        m_responseList.DeleteString(0);
}

// Screen readers hear the list as it now shows: its first lines, how many more, and its description.
void CNomvaraDlg::AnnounceResponse(const std::string& description) {
    std::vector<std::string> lines;
    for (int i = 0; i < m_responseList.GetCount(); ++i)
        lines.push_back(m_responseList.GetText(i).str());
    std::string text = FirstOfMany(lines, LINES_ANNOUNCED);
    if (!text.empty() && !description.empty())
        text += ". ";
    text += description;
    m_responseList.SetDescription(description.c_str());
    m_responseList.Announce(text.c_str());
}

std::string CNomvaraDlg::DescribeShown() const {
    return m_shown.fromMemory ? DescribeFromMemory(m_shown.query, m_shown.report, m_shown.lines)
                              : DescribeLookup(m_shown.query, m_shown.report, m_shown.lines);
}

void CNomvaraDlg::OnGet() {
    char query[QUERY_BUFFER];
    m_queryEdit.GetWindowText(query, QUERY_BUFFER);
    m_responseList.Announce("");  // the answer it told is going
    m_shown = {};
    EmptyResponseList();
    m_responseList.AddString(WAIT_LINE);
    m_responseList.SetDescription(DescribeWaiting(query, std::time(nullptr)).c_str());
    if (!ShowCachedAnswers(query) && !StartLookup(query))
        AnnounceResponse(DescribeNotStarted(query));  // the wait line stays
}

BOOL CNomvaraDlg::ShowCachedAnswers(CString query) {
    const StoredLookup* cached = m_answerCache.FindStored(query);
    if (!cached)
        return FALSE;
    EmptyResponseList();
    for (const CString& line : cached->request.answers)
        m_responseList.AddString(line);
    m_shown = {cached->request.requestId, query, cached->request.answers.size(), cached->report, true};
    AnnounceResponse(DescribeShown());
    UpdateData(FALSE);
    return TRUE;
}

BOOL CNomvaraDlg::StartLookup(CString query) {
    LookupRequest request;
    request.code = LOOKUP_CODE;
    request.requestId = NextRequestId(m_pendingRequests);
    request.owner = this;
    request.query = query;
    m_pendingRequests.InsertIfAbsent(request);
    StoredLookup* stored = m_pendingRequests.FindStored(request.requestId);
    if (!stored)
        return FALSE;
    // The record and its report are the resolver's from here until its WM_LOOKUP_DONE has been handled.
    auto thread = std::make_unique<CNomvaraThread>(CNomvaraThread::ParamsFor(stored), m_lifeline);
    if (!thread->CreateThread(0, 0, nullptr))
        return FALSE;  // the unstarted thread object is freed; the record and the id stay used
    // A started thread deletes itself when it ends.
    thread.release()->StartOnce();
    return TRUE;
}

LRESULT CNomvaraDlg::OnLookupDone(WPARAM, LPARAM lParam) {
    EmptyResponseList();
    StoredLookup* done = m_pendingRequests.FindStored(static_cast<std::uint32_t>(lParam));
    if (!done) {
        AnnounceResponse("");
        return 0;
    }
    const LookupRequest& request = done->request;
    for (const CString& line : request.answers)
        m_responseList.AddString(line);
    m_shown = {request.requestId, request.query, request.answers.size(), done->report, false};
    AnnounceResponse(DescribeShown());
    m_answerCache.InsertIfAbsent(request, done->report);
    m_pendingRequests.Erase(&request);
    UpdateData(FALSE);
    return 1;
}

// The answer was told when the lookup was done: what changes now is its description, not spoken again.
LRESULT CNomvaraDlg::OnIpv6Done(WPARAM wParam, LPARAM lParam) {
    const Ipv6Answer& answer = *reinterpret_cast<const Ipv6Answer*>(wParam);
    const auto requestId = static_cast<std::uint32_t>(lParam);
    const bool kept = m_answerCache.SetIpv6Answer(requestId, answer);
    if (requestId == 0 || requestId != m_shown.requestId)
        return kept;
    m_shown.report.ipv6 = answer;
    m_responseList.SetDescription(DescribeShown().c_str());
    return 1;
}
