// The host's interfaces that the driver implements: the description collection and its items,
// the driver and publisher components, and the file object. The host knows them by IID and by
// slot order only, so every slot is declared at its number (IUnknown's three are 0-2).
// Interfaces the driver merely passes through are forward-declared; their definitions live in
// HostInterfaces.h.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <oaidl.h>

struct IvnFileList;
struct IvnFiles;
struct IvnImportTarget;
struct IvnProgress;
struct IvnProperties;
struct IvnCatalog;
struct IkelMeasure;

// The head shared by the driver and the publisher: both interfaces start with these four slots.
struct DECLSPEC_NOVTABLE IvnComponent : public IUnknown {
    // slot 3
    virtual HRESULT STDMETHODCALLTYPE get_Language(BSTR* language) = 0;
    // slot 4
    virtual HRESULT STDMETHODCALLTYPE put_Language(BSTR language) = 0;
    // slot 5
    virtual HRESULT STDMETHODCALLTYPE Name(BSTR* name) = 0;
    // slot 6
    virtual HRESULT STDMETHODCALLTYPE Version(BSTR* version) = 0;
};
__CRT_UUID_DECL(IvnComponent, 0x9c7dac93, 0x8c4f, 0x4747, 0xb2, 0x9e, 0x1e, 0xd0, 0xfc, 0x5d, 0xbc, 0x76)

// The import driver.
struct DECLSPEC_NOVTABLE IvnTESK : public IvnComponent {
    virtual HRESULT STDMETHODCALLTYPE Slot7(VARIANT_BOOL* answer) = 0;
    // slot 8
    virtual HRESULT STDMETHODCALLTYPE PrepareFileList(IvnFileList* list, VARIANT_BOOL* result) = 0;
    // slot 9: the last two arguments are the host's and are not used by the driver.
    virtual HRESULT STDMETHODCALLTYPE ListFiles(IvnFileList* list, BSTR folder, LONG reserved1, LONG reserved2) = 0;
    // slot 10
    virtual HRESULT STDMETHODCALLTYPE ImportFiles(IvnImportTarget* target, IvnFiles* files, IvnProgress* progress,
                                                  VARIANT_BOOL* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot11(VARIANT_BOOL* answer) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot12(VARIANT_BOOL* answer) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot13(VARIANT_BOOL* answer) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot14(VARIANT_BOOL* answer) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot15(VARIANT_BOOL* answer) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot16(LONG value) = 0;
    // slot 17: the second stored text
    virtual HRESULT STDMETHODCALLTYPE get_SecondText(BSTR* text) = 0;
    // slot 18
    virtual HRESULT STDMETHODCALLTYPE put_SecondText(BSTR text) = 0;
    // slot 19
    virtual HRESULT STDMETHODCALLTYPE Vendor(BSTR* vendor) = 0;
};
__CRT_UUID_DECL(IvnTESK, 0xdda67e0c, 0xf196, 0x414f, 0xb0, 0xda, 0x50, 0x8f, 0xb1, 0x18, 0x56, 0x48)

// The driver object's method table continues after IvnTESK's last slot with five more that
// the host may call; the driver derives from this, so that the COM frame's own virtual
// functions stay out of those places.
struct DECLSPEC_NOVTABLE IvnTESKTail : public IvnTESK {
    virtual HRESULT STDMETHODCALLTYPE Slot20(LONG a, LONG b) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot21(LONG a, LONG b, LONG c, LONG d) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot22(LONG a, LONG b, LONG c, LONG d) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot23(LONG a) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot24(LONG a) = 0;
};

// The publisher.
struct DECLSPEC_NOVTABLE IvnPublisher : public IvnComponent {
    // slot 7
    virtual HRESULT STDMETHODCALLTYPE get_StoredText(BSTR* text) = 0;
    // slot 8
    virtual HRESULT STDMETHODCALLTYPE put_StoredText(BSTR text) = 0;
    // slot 9
    virtual HRESULT STDMETHODCALLTYPE get_StoredObject(IUnknown** object) = 0;
    // slot 10
    virtual HRESULT STDMETHODCALLTYPE putref_StoredObject(IUnknown* object) = 0;
    // slot 11
    virtual HRESULT STDMETHODCALLTYPE get_CellSize(IkelMeasure** cellSize) = 0;
    // slot 12
    virtual HRESULT STDMETHODCALLTYPE get_ReservedObject(IUnknown** object) = 0;
    // slot 13
    virtual HRESULT STDMETHODCALLTYPE get_Options(IvnProperties** options) = 0;
    // slot 14
    virtual HRESULT STDMETHODCALLTYPE get_DestinationFolder(BSTR* folder) = 0;
    // slot 15
    virtual HRESULT STDMETHODCALLTYPE put_DestinationFolder(BSTR folder) = 0;
    // slot 16
    virtual HRESULT STDMETHODCALLTYPE get_ExtraText(BSTR* text) = 0;
    // slot 17: the two middle arguments are the host's and are not used.
    virtual HRESULT STDMETHODCALLTYPE Publish(IvnCatalog* catalog, LONG reserved1, LONG reserved2,
                                              VARIANT_BOOL* ok) = 0;
    // slot 18
    virtual HRESULT STDMETHODCALLTYPE SetHostObjectA(IUnknown* object, LONG reserved1, LONG reserved2) = 0;
    // slot 19
    virtual HRESULT STDMETHODCALLTYPE SetHostObjectB(IUnknown* object, LONG reserved1, LONG reserved2) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot20(LONG a, LONG b, LONG c) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot21(LONG a, LONG b, LONG c, LONG d, LONG e, LONG f, BSTR* text) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot22(LONG a, LONG b) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot23(LONG a) = 0;
};
__CRT_UUID_DECL(IvnPublisher, 0xf3fa3413, 0x7902, 0x4495, 0xad, 0xe7, 0x62, 0x31, 0xd7, 0xea, 0x3f, 0xa4)

// One data file offered to the host's file list.
struct DECLSPEC_NOVTABLE IvnFile : public IUnknown {
    // slot 3
    virtual HRESULT STDMETHODCALLTYPE FullName(BSTR* name) = 0;
    // slot 4
    virtual HRESULT STDMETHODCALLTYPE Path(BSTR* path) = 0;
    // slot 5
    virtual HRESULT STDMETHODCALLTYPE Folder(BSTR* folder) = 0;
    // slot 6
    virtual HRESULT STDMETHODCALLTYPE Title(BSTR* title) = 0;
    // slot 7
    virtual HRESULT STDMETHODCALLTYPE Extension(BSTR* extension) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot8(VARIANT_BOOL* answer) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot9(BSTR* text) = 0;
    // slot 10
    virtual HRESULT STDMETHODCALLTYPE Properties(IvnProperties** properties) = 0;
    // slot 11
    virtual HRESULT STDMETHODCALLTYPE get_Selected(VARIANT_BOOL* selected) = 0;
    // slot 12
    virtual HRESULT STDMETHODCALLTYPE put_Selected(VARIANT_BOOL selected) = 0;
    // slot 13: the value the host may attach
    virtual HRESULT STDMETHODCALLTYPE get_Slot13(VARIANT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Slot14(VARIANT value) = 0;
};
__CRT_UUID_DECL(IvnFile, 0x4ffb8261, 0x2008, 0x4d7f, 0xa7, 0x73, 0x97, 0x4e, 0x86, 0x95, 0xf8, 0xb1)

struct IvnTESKDescription;
struct IvnTESKDescription2;

// The description collection, first form.
struct DECLSPEC_NOVTABLE IvnTESKDescriptions : public IUnknown {
    // slot 3
    virtual HRESULT STDMETHODCALLTYPE ProgID(BSTR* progId) = 0;
    // slot 4
    virtual HRESULT STDMETHODCALLTYPE get_Language(BSTR* language) = 0;
    // slot 5
    virtual HRESULT STDMETHODCALLTYPE put_Language(BSTR language) = 0;
    // slot 6
    virtual HRESULT STDMETHODCALLTYPE Name(BSTR* name) = 0;
    // slot 7
    virtual HRESULT STDMETHODCALLTYPE Description(BSTR* description) = 0;
    // slot 8
    virtual HRESULT STDMETHODCALLTYPE Version(BSTR* version) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot9(VARIANT* answer) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot10(LONG value) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot11(VARIANT_BOOL* answer) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot12(LONG value) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot13(VARIANT_BOOL* answer) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot14(LONG a, LONG b) = 0;
    // slot 15
    virtual HRESULT STDMETHODCALLTYPE CreateDriver(VARIANT index, IvnTESK** driver) = 0;
    // slot 16
    virtual HRESULT STDMETHODCALLTYPE Item(VARIANT index, IvnTESKDescription** item) = 0;
    // slot 17
    virtual HRESULT STDMETHODCALLTYPE NewEnum(IUnknown** enumerator) = 0;
    // slot 18
    virtual HRESULT STDMETHODCALLTYPE Count(LONG* count) = 0;
};
__CRT_UUID_DECL(IvnTESKDescriptions, 0x8ed0d02c, 0xaba5, 0x4309, 0xa3, 0x32, 0x01, 0xe3, 0x4e, 0x85, 0xcf, 0x39)

// The description collection, second form: one more slot before the item access.
struct DECLSPEC_NOVTABLE IvnTESKDescriptions2 : public IUnknown {
    // slot 3
    virtual HRESULT STDMETHODCALLTYPE ProgID(BSTR* progId) = 0;
    // slot 4
    virtual HRESULT STDMETHODCALLTYPE get_Language(BSTR* language) = 0;
    // slot 5
    virtual HRESULT STDMETHODCALLTYPE put_Language(BSTR language) = 0;
    // slot 6
    virtual HRESULT STDMETHODCALLTYPE Name(BSTR* name) = 0;
    // slot 7
    virtual HRESULT STDMETHODCALLTYPE Description(BSTR* description) = 0;
    // slot 8
    virtual HRESULT STDMETHODCALLTYPE Version(BSTR* version) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot9(VARIANT* answer) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot10(LONG value) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot11(VARIANT_BOOL* answer) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot12(LONG value) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot13(VARIANT_BOOL* answer) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot14(LONG a, LONG b) = 0;
    // slot 15
    virtual HRESULT STDMETHODCALLTYPE CreateDriver(VARIANT index, IvnTESK** driver) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot16(VARIANT value, void* pointer) = 0;
    // slot 17
    virtual HRESULT STDMETHODCALLTYPE Item(VARIANT index, IvnTESKDescription2** item) = 0;
    // slot 18
    virtual HRESULT STDMETHODCALLTYPE NewEnum(IUnknown** enumerator) = 0;
    // slot 19
    virtual HRESULT STDMETHODCALLTYPE Count(LONG* count) = 0;
};
__CRT_UUID_DECL(IvnTESKDescriptions2, 0x5b72f51d, 0x5f75, 0x4a7f, 0x8a, 0x17, 0x90, 0xaf, 0x5f, 0x94, 0x46, 0xa1)

// One driver description, first form.
struct DECLSPEC_NOVTABLE IvnTESKDescription : public IUnknown {
    // slot 3
    virtual HRESULT STDMETHODCALLTYPE Name(BSTR* name) = 0;
    // slot 4
    virtual HRESULT STDMETHODCALLTYPE ProgID(BSTR* progId) = 0;
    // slot 5
    virtual HRESULT STDMETHODCALLTYPE Description(BSTR* description) = 0;
    // slot 6: the second description text
    virtual HRESULT STDMETHODCALLTYPE SecondText(BSTR* text) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot7(LONG* value) = 0;
};
__CRT_UUID_DECL(IvnTESKDescription, 0xfc920bc5, 0x1ed9, 0x4a88, 0x89, 0x1f, 0x55, 0x6a, 0x9b, 0x84, 0x72, 0x89)

// One driver description, second form.
struct DECLSPEC_NOVTABLE IvnTESKDescription2 : public IUnknown {
    // slot 3
    virtual HRESULT STDMETHODCALLTYPE Name(BSTR* name) = 0;
    // slot 4
    virtual HRESULT STDMETHODCALLTYPE ProgID(BSTR* progId) = 0;
    // slot 5
    virtual HRESULT STDMETHODCALLTYPE Description(BSTR* description) = 0;
    // slot 6: the second description text
    virtual HRESULT STDMETHODCALLTYPE SecondText(BSTR* text) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot7(LONG* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot8(VARIANT* answer) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot9(VARIANT* answer) = 0;
};
__CRT_UUID_DECL(IvnTESKDescription2, 0x8be4e040, 0xffab, 0x4488, 0xae, 0x5b, 0x41, 0x38, 0x9f, 0xf1, 0x75, 0xd9)
