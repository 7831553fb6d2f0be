// The DLL's own identities: class ids of the five classes, the type library (which is also the
// server's AppID) and the two local dispatch interfaces that the type library describes.
// The same values are written in NivraTesk.idl.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <oaidl.h>

namespace nivra {

inline constexpr CLSID CLSID_CDescription = {
    0x9f8fad11, 0xe004, 0x4584, {0xb2, 0x7f, 0x0b, 0xfc, 0xcc, 0x81, 0x07, 0xf8}};
inline constexpr CLSID CLSID_CDescriptions = {
    0xbe85dcf3, 0xd79c, 0x488c, {0x83, 0xed, 0x88, 0xbe, 0xb6, 0xcd, 0x5a, 0xe8}};
inline constexpr CLSID CLSID_CNivraFile = {
    0x158a5229, 0x347f, 0x48c9, {0x86, 0x7c, 0x1a, 0xf6, 0xdb, 0x69, 0x5c, 0xdc}};
inline constexpr CLSID CLSID_CNivraTesk = {
    0x1dd9954c, 0x2768, 0x406a, {0xbf, 0x1d, 0x6c, 0x18, 0xf2, 0x9b, 0x0d, 0x83}};
inline constexpr CLSID CLSID_CNivraPublisher = {
    0x1c84a1d6, 0x2de5, 0x4c10, {0x92, 0x98, 0xa5, 0xf5, 0x31, 0x37, 0xc9, 0x2f}};
// The type library's GUID; registration also uses it as the server's AppID.
inline constexpr GUID LIBID_NivraTesk = {0x0a64a94c, 0x5baf, 0x4a6a, {0x82, 0x33, 0x28, 0xa2, 0x06, 0xdc, 0xac, 0xbb}};
inline constexpr WORD kTypeLibMajor = 1;
inline constexpr WORD kTypeLibMinor = 0;

}  // namespace nivra

// An IDispatch that exposes nothing: answered by the description items, the file objects and
// the driver.
struct DECLSPEC_NOVTABLE INullDispatch : public IDispatch {};
__CRT_UUID_DECL(INullDispatch, 0xf306171f, 0x6c46, 0x48d0, 0x98, 0xe5, 0x7f, 0xa9, 0xc8, 0x75, 0x40, 0x3e)

// The scriptable face of the description collection: one property, the enumerator.
struct DECLSPEC_NOVTABLE INewEnumDispatch : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_NewEnum(IUnknown** enumerator) = 0;
};
__CRT_UUID_DECL(INewEnumDispatch, 0x3c8a59fb, 0x6f9c, 0x4400, 0xb2, 0x14, 0x39, 0x80, 0xae, 0xd7, 0xf2, 0x8e)
