// The base of the framework's window classes and their message maps.
//
// A class with handlers of its own declares DECLARE_MESSAGE_MAP() in its body
// and defines its map in its source file:
//
//     BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//         ON_BN_CLICKED(1005, &CMyDlg::OnExecute)     // void OnExecute()
//         ON_WM_CREATE()                              // int OnCreate(LPCREATESTRUCT)
//         ON_WM_DESTROY()                             // void OnDestroy()
//     END_MESSAGE_MAP()
//
// Handlers are named as pointers to members (`&CMyDlg::OnExecute`); a
// handler may be declared in the class or in a base. The maps chain: a
// message without an entry in a class's map is looked up in its base's map,
// and at the end of the chain goes to the default window procedure. The first
// entry that matches wins, so a class overrides its base's entry for the same
// message or command.
//
// Entries:
//   ON_COMMAND(id, fn)               void fn()       WM_COMMAND with code 0 from id (BN_CLICKED)
//   ON_COMMAND_RANGE(id1, id2, fn)   void fn(UINT id)
//   ON_BN_CLICKED(id, fn)            void fn()
//   ON_EN_CHANGE(id, fn)             void fn()
//   ON_CONTROL(code, id, fn)         void fn()
//   ON_MESSAGE(msg, fn)              LRESULT fn(WPARAM, LPARAM)
//   ON_WM_CREATE()                   int OnCreate(LPCREATESTRUCT)   (-1 refuses the creation)
//   ON_WM_DESTROY()                  void OnDestroy()
//   ON_WM_CLOSE()                    void OnClose()
#pragma once

#include "win32/User.h"

class CCmdTarget;

typedef LRESULT (*AFX_PMSG_THUNK)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;     // WM_ message, 0 ends the map
    UINT nCode;        // notification code (WM_COMMAND)
    UINT nID;          // first control id (WM_COMMAND)
    UINT nLastID;      // last control id (WM_COMMAND)
    AFX_PMSG_THUNK pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define afx_msg

class CCmdTarget {
public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    virtual ~CCmdTarget() = default;

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const { return GetThisMessageMap(); }

    // Runs the handler of a command (id and notification code); FALSE when
    // no map of the class chain has one.
    virtual BOOL OnCmdMsg(UINT nID, int nCode);

protected:
    // The first entry for `message` (and, for WM_COMMAND, code and id) in the
    // map chain, or null.
    const AFX_MSGMAP_ENTRY* FindEntry(UINT message, UINT code, UINT id) const;
};

// The base map of `T`, or none when T has no message-map chain (CWinApp).
template <class T>
const AFX_MSGMAP* AfxBaseMessageMap()
{
    if constexpr (requires { T::GetThisMessageMap(); })
        return T::GetThisMessageMap();
    else
        return nullptr;
}

#define DECLARE_MESSAGE_MAP()                                      \
public:                                                            \
    static const AFX_MSGMAP* GetThisMessageMap();                  \
                                                                   \
protected:                                                         \
    const AFX_MSGMAP* GetMessageMap() const override { return GetThisMessageMap(); }

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                     \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                \
    {                                                              \
        using ThisClass [[maybe_unused]] = theClass;               \
        typedef baseClass TheBaseClass;                            \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                  \
    { 0, 0, 0, 0, nullptr }                                                                \
    }                                                                                      \
    ;                                                                                      \
    static const AFX_MSGMAP messageMap = {&AfxBaseMessageMap<TheBaseClass>, _messageEntries}; \
    return &messageMap;                                                                    \
    }

#define ON_CONTROL(code, id, memberFxn)                                                       \
    {WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(id),                                        \
     [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT {                                           \
         (static_cast<ThisClass*>(t)->*(memberFxn))();                                        \
         return 0;                                                                            \
     }},

#define ON_COMMAND(id, memberFxn) ON_CONTROL(0, id, memberFxn)
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)

#define ON_COMMAND_RANGE(id, idLast, memberFxn)                                               \
    {WM_COMMAND, 0, (UINT)(id), (UINT)(idLast),                                               \
     [](CCmdTarget* t, WPARAM w, LPARAM) -> LRESULT {                                         \
         (static_cast<ThisClass*>(t)->*(memberFxn))(static_cast<UINT>(LOWORD(w)));            \
         return 0;                                                                            \
     }},

#define ON_MESSAGE(message, memberFxn)                                                        \
    {(UINT)(message), 0, 0, 0,                                                                \
     [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {                                       \
         return (static_cast<ThisClass*>(t)->*(memberFxn))(w, l);                             \
     }},

#define ON_WM_CREATE()                                                                        \
    {WM_CREATE, 0, 0, 0,                                                                      \
     [](CCmdTarget* t, WPARAM, LPARAM l) -> LRESULT {                                         \
         return static_cast<ThisClass*>(t)->OnCreate(reinterpret_cast<LPCREATESTRUCT>(l));     \
     }},

#define ON_WM_DESTROY()                                                                       \
    {WM_DESTROY, 0, 0, 0,                                                                     \
     [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT {                                           \
         static_cast<ThisClass*>(t)->OnDestroy();                                             \
         return 0;                                                                            \
     }},

#define ON_WM_CLOSE()                                                                         \
    {WM_CLOSE, 0, 0, 0,                                                                       \
     [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT {                                           \
         static_cast<ThisClass*>(t)->OnClose();                                               \
         return 0;                                                                            \
     }},
