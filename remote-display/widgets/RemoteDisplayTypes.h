#pragma once

namespace zeb::remote_display {

// Gives the shell the documents and frames of both remote display views ("IHAQ" and "IHIM").
void registerRemoteDisplayDocumentTypes();

} // namespace zeb::remote_display
