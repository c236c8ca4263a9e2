"""The settings page in a real browser: headless Chromium against the page
that examples/www/serve.sh serves on 127.0.0.1, checked in the page and in
the store.   browser_test.py SERVE_SH BIN_DIR WORK_DIR
Writes WORK_DIR/www.png. Without a browser: skipped (77), failed under CI=true."""
import os, signal, socket, subprocess, sys, time, urllib.error, urllib.parse, urllib.request

serve_sh, bin_dir, work = sys.argv[1:4]
store = os.path.join(work, "serve", "store.db")
failures = []


def check(ok, what):
    print(("ok    " if ok else "FAIL  ") + what)
    if not ok:
        failures.append(what)


def client(*words):
    return subprocess.run([os.path.join(bin_dir, "kelbrinclient"), "--nocgi", "--nolog", *words],
                          env=dict(os.environ, KELBRIN_STORE=store), capture_output=True, text=True, check=True)


def stored(name):
    return client("get", name, "-", "RAW").stdout.removesuffix("\n")


def start_browser():
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    # Headless, as root, and never a request to anything but this machine.
    for flag in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage", "--window-size=900,900",
                 "--no-first-run", "--no-proxy-server", "--disable-background-networking",
                 "--disable-component-update", "--disable-sync", "--disable-default-apps",
                 "--host-resolver-rules=MAP * ~NOTFOUND , EXCLUDE 127.0.0.1"):
        options.add_argument(flag)
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


try:
    from selenium.webdriver.common.by import By
    from selenium.common.exceptions import WebDriverException
    from selenium.webdriver.support.wait import WebDriverWait
    browser = start_browser()
except Exception as error:  # no selenium, no driver, or Chromium will not start
    print(f"www.browser: headless Chromium cannot start: {str(error).strip().splitlines()[0]}")
    sys.exit(1 if os.environ.get("CI") == "true" else 77)

sock = socket.socket()
sock.bind(("127.0.0.1", 0))
port = sock.getsockname()[1]
sock.close()
server = subprocess.Popen(["sh", serve_sh, str(port), os.path.join(work, "serve")],
                          env=dict(os.environ, KELBRIN_BIN=bin_dir), start_new_session=True)
base = f"http://127.0.0.1:{port}/"
try:
    for _ in range(100):
        try:
            urllib.request.urlopen(base + "?group=root", timeout=5).read()
            break
        except OSError:
            time.sleep(0.1)

    def page(group):
        browser.get(base + "?group=" + group)
        return browser

    def field(name):
        return browser.find_element(By.ID, "f." + name)

    def message(name):
        return browser.find_element(By.ID, "m." + name).text

    def click(button_id):  # and wait for the answer to replace the page
        old = browser.find_element(By.TAG_NAME, "html")
        browser.find_element(By.ID, button_id).click()

        def replaced(_):  # Chromium says so in more than one way
            try:
                old.is_enabled()
            except WebDriverException:
                return True
            return False
        WebDriverWait(browser, 20).until(replaced)

    # The network group as the device ships it: the screenshot.
    page("root.Network")
    host, mtu = "root.Network.HostName", "root.Network.eth0.MTU"
    check(field(host).get_attribute("value") == stored(host), "the page shows the stored host name")
    browser.save_screenshot(os.path.join(work, "www.png"))

    # One good value and one its pattern refuses: the good one is applied.
    field(host).clear(); field(host).send_keys("door-7")
    field(mtu).clear(); field(mtu).send_keys("12")
    click("apply")
    check("must match" in message(mtu), f"the refusal beside MTU: {message(mtu)!r}")
    check(message(host) == "", "no message beside the host name")
    page("root.Network")
    check(field(host).get_attribute("value") == "door-7", "the new host name after a reload")
    check(field(mtu).get_attribute("value") == "1500", "MTU keeps its value after a reload")
    check(stored(host) == "door-7" and stored(mtu) == "1500", "the store holds door-7 and MTU 1500")
    # serve.sh's service, under kelbrinctl watch, writes the new host name where a service reads it.
    host_file = os.path.join(work, "serve", "hostname")
    for _ in range(100):
        with open(host_file) as written:
            if written.read() == "door-7\n":
                break
        time.sleep(0.1)
    with open(host_file) as written:
        check(written.read() == "door-7\n", "the watching service wrote door-7")

    # What the page may not write is read-only and never posted.
    mac = field("root.Network.eth0.MACAddress")
    check(mac.get_attribute("readonly") is not None and mac.get_attribute("name") in (None, ""),
          "the MAC address (write level above the page's) is read-only")

    # A value with markup in it is shown as text, in a field and in the source.
    text = "root.Climate.Display.Text"
    # Two lines, so a text area, whose content only "<" can end.
    tricky = "it's <b id=\"planted\">bold</b> & more\n</textarea><b id=\"planted\">out</b>"
    client("set", text, tricky)
    page("root.Climate")
    check(field(text).get_attribute("value") == tricky, "markup and a line break in a value come back as the same text")
    check(not browser.find_elements(By.ID, "planted"), "markup in a value makes no element")
    zones = field("root.Climate.Zones")
    check(zones.tag_name == "pre" and "auto" in zones.text, "a complex value is shown, not edited")

    # Read-protected values never reach the browser, on the page of the whole store.
    source = page("root").page_source
    check("AdminPassword" not in source and stored("root.Security.AdminPassword") not in source,
          "the read-protected password is not in the page source")

    # Dynamic groups: add until the template's maximum, then one more; delete one.
    page("root.Badge")
    adds = 0
    while adds < 100 and (adds == 0 or "the most it allows" not in browser.find_element(By.ID, "notice").text):
        click("add.badge")
        adds += 1
    notice = browser.find_element(By.ID, "notice").text
    full = len(browser.find_elements(By.CSS_SELECTOR, "#groups form"))
    check("the most it allows" in notice and adds == full + 1, f"{full} groups added, then the page's message: {notice!r}")
    check(stored(f"root.Badge.B{full - 1}.Enabled") == "yes", "the added groups are in the store")
    click("delete.B1")
    check(len(browser.find_elements(By.CSS_SELECTOR, "#groups form")) == full - 1 and
          not browser.find_elements(By.ID, "delete.B1"), "B1 deleted")

    # Reset: the group's values and groups back as declared, but not what the page may not write.
    mac = "root.Network.eth0.MACAddress"
    client("set", mac, "00:00:00:00:00:01")
    click("reset")
    check(not browser.find_elements(By.CSS_SELECTOR, "#groups form"), "reset removed the dynamic groups")
    page("root.Network")
    click("reset")
    notice = browser.find_element(By.ID, "notice").text
    check(stored(host) != "door-7" and field(host).get_attribute("value") == stored(host) and
          stored(mac) == "00:00:00:00:00:01",
          f"reset the host name, kept the MAC address: {notice!r}")

    # A post without the form's token, as another site's form would send it, is refused.
    before = stored(host)
    body = urllib.parse.urlencode({"action": "apply", host: "evil", "v." + host: "evil"}).encode()
    try:
        status = urllib.request.urlopen(base + "?group=root.Network", body, timeout=10).status
    except urllib.error.HTTPError as error:
        status = error.code
    check(status == 403 and stored(host) == before, f"a post without the token: {status}, nothing changed")
finally:
    browser.quit()
    os.killpg(server.pid, signal.SIGTERM)
    server.wait()

print(f"www.browser: {len(failures)} of the checks failed" if failures else "www.browser: every check passed")
sys.exit(1 if failures else 0)
