#include "foundation/Com.h"

#include <shobjidl.h>

#include <gtest/gtest.h>

TEST(ComInstanceTest, CreationFailuresThrowAndRefusedQueriesAreRecorded) {
    ComInit com;
    const CLSID unregistered = {0x5a1e0f3c, 0x7d21, 0x4b6e, {0x9a, 0x10, 0x2c, 0x44, 0x61, 0x7e, 0x83, 0x0b}};
    ComInstance<IUnknown> nothing;
    try {
        nothing.Create(unregistered, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown);
        ADD_FAILURE() << "no exception";
    } catch (const Norlib::ComException& e) {
        EXPECT_STREQ("CoCreateInstance() failed: COM error: -2147221164.", e.what());
    }
    ComInstance<IShellLinkA> link;
    link.Create(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA);

    ComInstance<IDispatch> dispatch;
    dispatch.QueryInterface(link, IID_IDispatch);
    EXPECT_EQ(nullptr, dispatch.get());
    EXPECT_EQ(L"QueryInterface() failed: COM error: -2147467262: Interface not supported error.",
              dispatch.FailureText());

    ComInstance<IPersistFile> file;
    file.QueryInterface(link, IID_IPersistFile);
    EXPECT_NE(nullptr, file.get());
    file.QueryInterface(dispatch, IID_IPersistFile);
    EXPECT_EQ(DWORD(E_POINTER), file.Code());
}
