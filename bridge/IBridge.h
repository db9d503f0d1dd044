#ifndef QUILO_BRIDGE_IBRIDGE_H
#define QUILO_BRIDGE_IBRIDGE_H

// The interface object that the bridge library CsVarnApi.dll hands out through
// its undecorated export "CreateWrapper". The maker builds that library with
// Microsoft's compiler, so this declaration pins the binary layout both
// compilers agree on:
//
// - Every slot is a __thiscall member function (the object pointer in ECX,
//   the arguments on the stack, popped by the callee).
// - There are exactly 21 slots, 0 to 20, in declaration order. Microsoft's
//   compiler gives a virtual destructor one slot (the scalar deleting
//   destructor, which takes a flags argument: bit 0 set frees the memory),
//   while GCC would give it two. So no C++ virtual destructor is declared:
//   slot 20 is spelled out as the scalar deleting destructor and the object
//   is always deleted through DeleteThis(1).
//
// Texts crossing the interface are narrow, NUL-terminated and in the calling
// thread's ANSI code page, both ways. Texts the bridge returns (results and
// error texts) are allocated with malloc of the C runtime in msvcrt.dll, the
// system C runtime that both the launcher and our bridges link against
// dynamically; the launcher releases them with free of that same runtime. A
// bridge built against another C runtime must take malloc from msvcrt.dll
// explicitly for every text it hands out. Error texts are released that way by
// every operation, not only by QueryComputerId. A result that comes together
// with an error text is ignored and not released: the launcher cannot know
// whether the bridge meant to hand it over.
//
// An operation with an error channel takes, as its last argument, the address
// of a text pointer that the launcher sets to null; the bridge leaves it null
// on success and points it at an error text on failure.

#if defined(_WIN32) && defined(__i386__)
#define QUILO_BRIDGE_CALL __thiscall
#else
#define QUILO_BRIDGE_CALL
#endif

class IBridge {
public:
    virtual void QUILO_BRIDGE_CALL Reserved0() = 0;                          // slot 0
    virtual int QUILO_BRIDGE_CALL QueryStatus(char** error) = 0;             // slot 1
    virtual void QUILO_BRIDGE_CALL Reserved2() = 0;                          // slot 2
    virtual void QUILO_BRIDGE_CALL Reserved3() = 0;                          // slot 3
    virtual void QUILO_BRIDGE_CALL Reserved4() = 0;                          // slot 4
    virtual void QUILO_BRIDGE_CALL Reserved5() = 0;                          // slot 5
    virtual char* QUILO_BRIDGE_CALL QueryComputerId(char** error) = 0;       // slot 6
    virtual void QUILO_BRIDGE_CALL Reserved7() = 0;                          // slot 7
    virtual void QUILO_BRIDGE_CALL Reserved8() = 0;                          // slot 8
    virtual bool QUILO_BRIDGE_CALL RegenerateRuntime(const char* storePath,  // slot 9
                                                     const char* storePassword, const char* recordName,
                                                     const char* fieldName, const char* targetDirectory,
                                                     const char* targetFileName, char** error) = 0;
    virtual void QUILO_BRIDGE_CALL Reserved10() = 0;  // slot 10
    virtual void QUILO_BRIDGE_CALL Reserved11() = 0;  // slot 11
    virtual void QUILO_BRIDGE_CALL Reserved12() = 0;  // slot 12
    virtual void QUILO_BRIDGE_CALL Reserved13() = 0;  // slot 13
    virtual void QUILO_BRIDGE_CALL Reserved14() = 0;  // slot 14
    virtual void QUILO_BRIDGE_CALL Reserved15() = 0;  // slot 15
    virtual void QUILO_BRIDGE_CALL Reserved16() = 0;  // slot 16
    virtual void QUILO_BRIDGE_CALL Reserved17() = 0;  // slot 17
    virtual void QUILO_BRIDGE_CALL Reserved18() = 0;  // slot 18
    virtual void QUILO_BRIDGE_CALL Reserved19() = 0;  // slot 19
    // Slot 20: the scalar deleting destructor. Flags bit 0 set: free the object.
    virtual void* QUILO_BRIDGE_CALL DeleteThis(unsigned int flags) = 0;

protected:
    ~IBridge() = default;
};

// Signature of the library's export "CreateWrapper": a new object, or null.
using CreateWrapperFunction = IBridge* (*)();

constexpr const char kCreateWrapperExport[] = "CreateWrapper";

#endif
