#include "tests/servers/LocalHttpServer.h"

#include "tests/fixtures/TempFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

bool CLocalHttpServer::Start() {
    ::mkdir((m_work + "/nginx-temp").c_str(), 0700);
    // The port is free when picked; another program may take it before nginx
    // binds it, so a start that ends at once is tried again on a new port.
    for (int attempt = 0; attempt < 5; ++attempt) {
        m_port = FreeLoopbackPort();
        std::ostringstream c;
        c << "daemon off;\n"
          << "worker_processes 1;\n"
          << "pid " << m_work << "/nginx.pid;\n"
          << "error_log " << m_work << "/nginx-error.log;\n";
        // Workers running as nobody cannot read a test's 0700 folder.
        if (::geteuid() == 0) c << "user root;\n";
        c << "events { worker_connections 64; }\n"
          << "http {\n"
          << "  default_type application/octet-stream;\n"
          << "  log_format qor '$status $request [$http_content_type]';\n"
          << "  access_log " << m_work << "/nginx-access.log qor;\n"
          << "  client_body_temp_path " << m_work << "/nginx-temp/body;\n"
          << "  proxy_temp_path " << m_work << "/nginx-temp/proxy;\n"
          << "  fastcgi_temp_path " << m_work << "/nginx-temp/fastcgi;\n"
          << "  uwsgi_temp_path " << m_work << "/nginx-temp/uwsgi;\n"
          << "  scgi_temp_path " << m_work << "/nginx-temp/scgi;\n"
          << "  sendfile on;\n"
          << "  server {\n"
          << "    listen 127.0.0.1:" << m_port << ";\n"
          << "    root " << m_root << ";\n"
          << m_locations << "  }\n"
          << "}\n";
        std::string conf = m_work + "/nginx.conf";
        std::ofstream(conf) << c.str();
        if (!m_process.Start({"/usr/sbin/nginx", "-p", m_work, "-e", m_work + "/nginx-error.log", "-c", conf},
                             m_work + "/nginx-output.log"))
            return false;
        if (WaitForTcpServer(m_port, m_process, "", 10000)) return true;
        m_process.Stop();
    }
    return false;
}

std::string CLocalHttpServer::AccessLog() const { return ReadFileText(m_work + "/nginx-access.log"); }

int CLocalHttpServer::CountRequests(const std::string& text) const { return CountLinesWith(AccessLog(), text); }
