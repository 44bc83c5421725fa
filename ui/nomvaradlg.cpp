#include "ui/nomvaradlg.h"

#include "lookup/resolvequery.h"
#include "platform/menu.h"
#include "platform/paintdc.h"
#include "platform/resources.h"
#include "platform/services.h"
#include "platform/winapp.h"
#include "platform/winsock.h"
#include "tasks/nomvarathread.h"
#include "ui/aboutdlg.h"
#include "ui/links.h"
#include "ui/resourceids.h"
#include "ui/strings.h"

BEGIN_MESSAGE_MAP(CNomvaraDlg, CDialog)
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_BN_CLICKED(IDC_GET, &CNomvaraDlg::OnGet)
ON_MESSAGE(WM_LOOKUP_DONE, &CNomvaraDlg::OnLookupDone)
ON_MESSAGE(WM_LATER_PART, &CNomvaraDlg::OnLaterPart)
ON_WM_SYSCOMMAND()
ON_BN_CLICKED(IDC_DOWNLOAD, &CNomvaraDlg::OnDownload)
END_MESSAGE_MAP()

CNomvaraDlg::CNomvaraDlg(CWnd* parent) : CDialog(IDD_MAIN_DIALOG, parent), m_hIcon(LoadIcon(AfxGetInstanceHandle(), IDR_MAINFRAME)) {
    winsock::WSADATA data;
    if (winsock::WSAStartup(0x0202, &data) != 0)
        winsock::WSACleanup();
}

void CNomvaraDlg::DoDataExchange(CDataExchange* exchange) {
    CDialog::DoDataExchange(exchange);
    DDX_Control(exchange, IDC_PRODUCT_TEXT, m_productTextLink);
    DDX_Control(exchange, IDC_PRODUCT_NAME, m_productNameLink);
    DDX_Control(exchange, IDC_BANNER, m_banner);
    DDX_Control(exchange, IDC_RESPONSES, m_responseList);
    DDX_Control(exchange, IDC_QUERY, m_queryEdit);
    DDX_Text(exchange, IDC_LOCAL_ADDRESSES, m_localAddresses);
}

BOOL CNomvaraDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    if (CMenu* systemMenu = GetSystemMenu(FALSE)) {
        char aboutText[64];
        if (LoadString(AfxGetInstanceHandle(), IDS_ABOUTBOX, aboutText, sizeof aboutText) > 0) {
            systemMenu->AppendMenu(MF_SEPARATOR);
            systemMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, aboutText);
        }
    }
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    m_productNameLink.SetUrl(PRODUCT_LINK_URL);
    m_productTextLink.SetUrl(PRODUCT_LINK_URL);
    m_banner.SetAccessibleName(BANNER_NAME);

    ListLocalAddresses();
    UpdateData(FALSE);
    return TRUE;
}

void CNomvaraDlg::ListLocalAddresses() {
    m_localAddresses.Empty();
    char hostName[74] = {};
    if (winsock::gethostname(hostName, sizeof hostName) == -1)
        return;
    const winsock::hostent* entry = winsock::gethostbyname(hostName);
    if (!entry || !entry->h_addr_list[0])
        return;
    for (const CString& address : DottedAddresses(*entry)) {
        m_localAddresses += address;
        m_localAddresses += "\r\n";
    }
}

void CNomvaraDlg::OnSysCommand(UINT command, LPARAM lParam) {
    if ((command & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
    } else {
        CDialog::OnSysCommand(command, lParam);
    }
}

POINT IconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight) {
    return POINT{(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}

void CNomvaraDlg::OnPaint() {
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    RECT client;
    GetClientRect(&client);
    const POINT at = IconOrigin(client.right - client.left, client.bottom - client.top, GetSystemMetrics(SM_CXICON),
                                GetSystemMetrics(SM_CYICON));
    dc.DrawIcon(at.x, at.y, m_hIcon);
}

HCURSOR CNomvaraDlg::OnQueryDragIcon() { return m_hIcon; }

void CNomvaraDlg::OnDownload() { ShellExecute(nullptr, "open", PRODUCT_BUTTON_URL, nullptr, nullptr, SW_SHOWNORMAL); }
