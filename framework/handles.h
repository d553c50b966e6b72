#pragma once
// One owner per handle: small move-only wrappers in the manner of WIL's
// unique_hkey / unique_hbitmap, and a COM pointer.
#include <windows.h>
#include <objbase.h>

#include <utility>

namespace salvanto::win {

template <typename T, auto Close, auto Invalid = T{}>
class unique_any {
public:
  unique_any() = default;
  explicit unique_any(T value) : value_(value) {}
  unique_any(const unique_any&) = delete;
  unique_any& operator=(const unique_any&) = delete;
  unique_any(unique_any&& other) noexcept : value_(other.release()) {}
  unique_any& operator=(unique_any&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~unique_any() { reset(); }

  T get() const { return value_; }
  explicit operator bool() const { return value_ != T(Invalid); }
  T release() { return std::exchange(value_, T(Invalid)); }
  void reset(T value = T(Invalid)) {
    if (value_ != T(Invalid)) Close(value_);
    value_ = value;
  }
  // For APIs that hand a new handle back through a pointer.
  T* put() {
    reset();
    return &value_;
  }

private:
  T value_ = T(Invalid);
};

namespace detail {
inline void CloseGdi(HGDIOBJ object) { DeleteObject(object); }
inline void CloseFind(HANDLE find) { FindClose(find); }
}  // namespace detail

using unique_handle = unique_any<HANDLE, &CloseHandle>;
// CreateFile's handles: INVALID_HANDLE_VALUE, not null, means none.
using unique_hfile = unique_any<HANDLE, &CloseHandle, INT_PTR(-1)>;
using unique_hkey = unique_any<HKEY, &RegCloseKey>;
using unique_hfind = unique_any<HANDLE, &detail::CloseFind, INT_PTR(-1)>;
using unique_hdc = unique_any<HDC, &DeleteDC>;
template <typename G>
using unique_gdi = unique_any<G, &detail::CloseGdi>;
using unique_hbitmap = unique_gdi<HBITMAP>;
using unique_hfont = unique_gdi<HFONT>;
using unique_hicon = unique_any<HICON, &DestroyIcon>;
// RegisterPowerSettingNotification's registrations.
using unique_hpowernotify = unique_any<HPOWERNOTIFY, &UnregisterPowerSettingNotification>;

// No "insert a disk" box from the system while this thread reads a drive
// in this scope: a drive that cannot be read is an error to report instead.
class no_critical_error_boxes {
public:
  no_critical_error_boxes() { SetThreadErrorMode(SEM_FAILCRITICALERRORS, &old_); }
  no_critical_error_boxes(const no_critical_error_boxes&) = delete;
  no_critical_error_boxes& operator=(const no_critical_error_boxes&) = delete;
  ~no_critical_error_boxes() { SetThreadErrorMode(old_, nullptr); }

private:
  DWORD old_ = 0;
};

// A slim reader/writer lock held exclusively for one scope.
class exclusive_lock {
public:
  explicit exclusive_lock(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
  exclusive_lock(const exclusive_lock&) = delete;
  exclusive_lock& operator=(const exclusive_lock&) = delete;
  ~exclusive_lock() { ReleaseSRWLockExclusive(&lock_); }

private:
  SRWLOCK& lock_;
};

// Selects an object into a DC for one scope and puts the old one back.
class select_object {
public:
  select_object(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  select_object(const select_object&) = delete;
  select_object& operator=(const select_object&) = delete;
  ~select_object() {
    if (old_) SelectObject(dc_, old_);
  }

private:
  HDC dc_;
  HGDIOBJ old_;
};

// A screen DC borrowed with GetDC and given back with ReleaseDC.
class window_dc {
public:
  explicit window_dc(HWND window) : window_(window), dc_(GetDC(window)) {}
  window_dc(const window_dc&) = delete;
  window_dc& operator=(const window_dc&) = delete;
  ~window_dc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }

private:
  HWND window_;
  HDC dc_;
};

// BeginPaint / EndPaint for one WM_PAINT.
class paint_scope {
public:
  explicit paint_scope(HWND window) : window_(window) { dc_ = BeginPaint(window, &ps_); }
  paint_scope(const paint_scope&) = delete;
  paint_scope& operator=(const paint_scope&) = delete;
  ~paint_scope() { EndPaint(window_, &ps_); }
  HDC get() const { return dc_; }

private:
  HWND window_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

template <typename T>
class com_ptr {
public:
  com_ptr() = default;
  com_ptr(const com_ptr&) = delete;
  com_ptr& operator=(const com_ptr&) = delete;
  com_ptr(com_ptr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  com_ptr& operator=(com_ptr&& other) noexcept {
    if (this != &other) {
      reset();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }
  ~com_ptr() { reset(); }

  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  T** put() {
    reset();
    return &p_;
  }
  void** put_void() { return reinterpret_cast<void**>(put()); }
  void reset() {
    if (p_) std::exchange(p_, nullptr)->Release();
  }

private:
  T* p_ = nullptr;
};

// CoInitializeEx / CoUninitialize for the lifetime of a thread: the UI
// thread's single-threaded apartment, or a worker's multithreaded one.
class com_apartment {
public:
  explicit com_apartment(DWORD model = COINIT_APARTMENTTHREADED)
      : ok_(SUCCEEDED(CoInitializeEx(nullptr, model | COINIT_DISABLE_OLE1DDE))) {}
  com_apartment(const com_apartment&) = delete;
  com_apartment& operator=(const com_apartment&) = delete;
  ~com_apartment() {
    if (ok_) CoUninitialize();
  }

private:
  bool ok_;
};

}  // namespace salvanto::win
